// Linked into every executable of a sanitizer build. A shared library that
// leaves the process before LeakSanitizer reports (a graphics driver that EGL
// unloads at exit, say) leaves the frames of its leaks without a name, so no
// suppression can match them and the verdict would depend on the machine.
// Here nothing is unloaded: the process ends soon, and unmaps it all then.
extern "C" int dlclose(void* /*handle*/) { return 0; }
