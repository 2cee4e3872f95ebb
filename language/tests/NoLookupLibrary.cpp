// A shared object that is not a language library: it lacks LoadLanguageString.
extern "C" __attribute__((visibility("default"))) int SomethingElse(void) { return 42; }
