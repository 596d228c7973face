// A shared library that loads but is no in-process server: it exports no entry point.
extern "C" int MorvelleNotAServer() {
    return 0;
}
