// The component tarvo_03: a shared library that carries every subsystem. This unit only names
// the component's version; its classes live in the subsystem archives linked into it.
extern "C" const char* tarvo_03_version() {
  return "0.1.0";
}
