// A plain shared library that happens to define a function named like a
// module export. A module linked with it but lacking that export must still
// count as incomplete.
extern "C" __attribute__((visibility("default"))) void Terminate(const char*, const char*) {}
