// The description string by which the Display control panel of old knew a
// screen saver. The program never reads it; the link keeps it on purpose.
extern "C" __attribute__((used)) const char kModuleDescription[] = "SCRNSAVE :Tarvelimunde";
