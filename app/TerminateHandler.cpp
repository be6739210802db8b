// libstdc++'s default terminate handler prints the demangled type of the uncaught exception,
// which links its whole demangler (about 46 KB) into setup.exe and uninst.exe. GUI programs
// have nowhere to print it, so ending the process is all the handler needs to do.
#include <cstdlib>

namespace __gnu_cxx {

void __verbose_terminate_handler() { std::abort(); }

}  // namespace __gnu_cxx
