// A plugin that declares what a test names and does nothing else: a program
// that reads plugins' metadata, as Qt does, must find it by that alone.
#include <QObject>

class FakePlugin : public QObject {
    Q_OBJECT
#if defined(FAKE_WAYLAND)
    Q_PLUGIN_METADATA(IID "org.qt-project.Qt.QPA.QPlatformIntegrationFactoryInterface.5.3" FILE "wayland.json")
#elif defined(FAKE_WAYLAND_EGL)
    Q_PLUGIN_METADATA(IID "org.qt-project.Qt.QPA.QPlatformIntegrationFactoryInterface.5.3" FILE "wayland_egl.json")
#elif defined(FAKE_VNC)
    Q_PLUGIN_METADATA(IID "org.qt-project.Qt.QPA.QPlatformIntegrationFactoryInterface.5.3" FILE "vnc.json")
#elif defined(FAKE_IMAGE_FORMAT)
    Q_PLUGIN_METADATA(IID "org.qt-project.Qt.QImageIOHandlerFactoryInterface" FILE "wayland.json")
#endif
};

#include "fake_plugin.moc"
