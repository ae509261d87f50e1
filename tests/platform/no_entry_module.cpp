// A loadable module that is not a server: it exports nothing the runtime looks for.
extern "C" __attribute__((visibility("default"))) int SampleNotAServer() {
  return 42;
}
