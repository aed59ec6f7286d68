// A control the design does not have, or not of the kind asked for, ends the
// program in every build, naming it, rather than handing out a wrong widget.
#include "window/designed_form.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <cstdlib>

namespace taborvane::window {
namespace {

template <typename Widget>
void AskForControl(const char* name) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    {
        int argc = 1;
        char program[] = "designed_form_tests";
        char* argv[] = {program, nullptr};
        const QApplication application(argc, argv);
        QWidget window;
        const DesignedForm form(window);
        (void)form.control<Widget>(name);
    }
    std::exit(0);  // the control was handed out; Qt is gone, so a leak check finds what is truly lost
}

TEST(DesignedFormDeathTest, ControlThatIsNotThereEndsTheProgram) {
    EXPECT_EXIT(AskForControl<QLineEdit>("txtStart"), ::testing::ExitedWithCode(0), "");
    EXPECT_DEATH(AskForControl<QPushButton>("txtStart"), "the design has no QPushButton named txtStart");
    EXPECT_DEATH(AskForControl<QLineEdit>("txtNowhere"), "the design has no QLineEdit named txtNowhere");
}

}  // namespace
}  // namespace taborvane::window
