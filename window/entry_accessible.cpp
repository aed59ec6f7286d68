#include "entry_accessible.h"

#include <QAccessibleWidget>
#include <QFontMetrics>
#include <QLineEdit>
#include <QVariant>

namespace taborvane::window {
namespace {

// Everything through QLineEdit's public interface, so that it holds on every Qt.
class EntryAccessible final : public QAccessibleWidget,
                              public QAccessibleTextInterface,
                              public QAccessibleEditableTextInterface {
public:
    explicit EntryAccessible(QLineEdit* edit) : QAccessibleWidget(edit, QAccessible::EditableText) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
        if (type == QAccessible::EditableTextInterface) return static_cast<QAccessibleEditableTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    [[nodiscard]] QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Value) return edit()->displayText();
        return QAccessibleWidget::text(kind);
    }
    void setText(QAccessible::Text kind, const QString& text) override {
        if (kind == QAccessible::Value && !edit()->isReadOnly())
            edit()->setText(text);
        else
            QAccessibleWidget::setText(kind, text);
    }
    [[nodiscard]] QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.readOnly = edit()->isReadOnly();
        state.editable = !edit()->isReadOnly();
        state.passwordEdit = edit()->echoMode() != QLineEdit::Normal;
        state.selectableText = true;
        return state;
    }

    // The text interface.
    void selection(int selectionIndex, int* startOffset, int* endOffset) const override {
        *startOffset = *endOffset = 0;
        if (selectionIndex != 0 || !edit()->hasSelectedText()) return;
        *startOffset = edit()->selectionStart();
        *endOffset = *startOffset + static_cast<int>(edit()->selectedText().size());
    }
    [[nodiscard]] int selectionCount() const override { return edit()->hasSelectedText() ? 1 : 0; }
    void addSelection(int startOffset, int endOffset) override { setSelection(0, startOffset, endOffset); }
    void removeSelection(int selectionIndex) override {
        if (selectionIndex == 0) edit()->deselect();
    }
    void setSelection(int selectionIndex, int startOffset, int endOffset) override {
        if (selectionIndex == 0) edit()->setSelection(startOffset, endOffset - startOffset);
    }
    [[nodiscard]] int cursorPosition() const override { return edit()->cursorPosition(); }
    void setCursorPosition(int position) override { edit()->setCursorPosition(position); }
    [[nodiscard]] QString text(int startOffset, int endOffset) const override {
        if (startOffset > endOffset) return {};
        return edit()->displayText().mid(startOffset, endOffset - startOffset);
    }
    [[nodiscard]] int characterCount() const override { return static_cast<int>(edit()->displayText().size()); }
    [[nodiscard]] QRect characterRect(int offset) const override {
        const QString shown = edit()->displayText();
        if (offset < 0 || offset >= shown.size()) return {};
        // The caret stands where QLineEdit has laid out its text, scrolled or
        // not: the character's place is measured from there.
        const QFontMetrics metrics(edit()->font());
        const QRect caret = edit()->inputMethodQuery(Qt::ImCursorRectangle).toRect();
        const int left = caret.center().x() + metrics.horizontalAdvance(shown.left(offset)) -
                         metrics.horizontalAdvance(shown.left(edit()->cursorPosition()));
        const QRect character(left, caret.top(), metrics.horizontalAdvance(shown.at(offset)), caret.height());
        return character.translated(edit()->mapToGlobal(QPoint(0, 0)));
    }
    [[nodiscard]] int offsetAtPoint(const QPoint& point) const override {
        return edit()->cursorPositionAt(edit()->mapFromGlobal(point));
    }
    void scrollToSubstring(int startIndex, int endIndex) override {
        edit()->setCursorPosition(endIndex);
        edit()->setCursorPosition(startIndex);
    }
    [[nodiscard]] QString attributes(int /*offset*/, int* startOffset, int* endOffset) const override {
        // No attributes, over the whole text.
        *startOffset = 0;
        *endOffset = characterCount();
        return {};
    }

    // The editable text interface.
    void deleteText(int startOffset, int endOffset) override { replaceText(startOffset, endOffset, {}); }
    void insertText(int offset, const QString& text) override { replaceText(offset, offset, text); }
    void replaceText(int startOffset, int endOffset, const QString& text) override {
        if (edit()->isReadOnly() || startOffset > endOffset) return;
        edit()->setText(edit()->text().replace(startOffset, endOffset - startOffset, text));
    }

private:
    [[nodiscard]] QLineEdit* edit() const { return static_cast<QLineEdit*>(widget()); }
};

QAccessibleInterface* EntryAccessibleFactory(const QString& className, QObject* object) {
    if (className != QLatin1StringView(QLineEdit::staticMetaObject.className())) return nullptr;
    auto* edit = qobject_cast<QLineEdit*>(object);
    return edit != nullptr ? new EntryAccessible(edit) : nullptr;
}

}  // namespace

void ExposeEntriesAsWholeText() { QAccessible::installFactory(EntryAccessibleFactory); }

}  // namespace taborvane::window
