// The description string, as the exact builds carry theirs, naming this
// build so that it can be told from them.
extern "C" __attribute__((used)) const char kModuleDescription[] = "SCRNSAVE :Tarvelimunde Flow";
