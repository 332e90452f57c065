// What happens to an exception that nothing catches: the program ends at once. The standard
// library's default handler would first print the exception's type to the standard error
// stream, which a windowed program does not have; defining the handler here also keeps that
// handler's name demangler, a large part of the library, out of the executable.
#include <cstdlib>

namespace __gnu_cxx {
void __verbose_terminate_handler() {
    std::abort();
}
} // namespace __gnu_cxx
