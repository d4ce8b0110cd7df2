// Anchor of the Qt adapter library; the adapters themselves live in their subsystem folders.
namespace ff {
const char* QtPlatformName() { return "Qt"; }
}
