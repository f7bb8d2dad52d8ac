// Two pieces of GCC's static C++ runtime that the program replaces with small
// ones of its own, for the size of the executable alone. The runtime links each
// by name, so a definition here is taken instead of the library's, which is
// then never linked. Other runtimes need neither: this file is empty for them.
//
// - The default terminate handler prints the escaping exception's type name,
//   demangled, to the standard error stream, which a GUI program does not have,
//   and then aborts. Its demangler alone is about 47 KB. Ours aborts at once.
// - The helpers through which std::string and std::vector throw
//   std::length_error, std::out_of_range and the like come in one object file
//   that also links every standard exception class and the copy-on-write
//   strings that hold their messages: about 55 KB. Ours throw the same types
//   where those carry no message, and a fault of our own, with the same
//   message, in place of the others. Nothing in the program catches those by
//   their type: they are faults, which WinMain reports as one.
#include <cstdlib>
#include <exception>
#include <new>
#include <typeinfo>

#if defined(__GLIBCXX__)

namespace {

// The library found a fault in the program's use of it. Its callers pass
// string literals, which outlive any exception.
class CLibraryFault : public std::exception {
public:
    explicit CLibraryFault(const char* message) : m_szMessage(message) {}
    const char* what() const noexcept override { return m_szMessage; }

private:
    const char* m_szMessage;
};

}  // namespace

namespace __gnu_cxx {

void __verbose_terminate_handler() { std::abort(); }

}  // namespace __gnu_cxx

namespace std {

void __throw_bad_exception() { throw bad_exception(); }
void __throw_bad_alloc() { throw bad_alloc(); }
void __throw_bad_array_new_length() { throw bad_array_new_length(); }
void __throw_bad_cast() { throw bad_cast(); }
void __throw_bad_typeid() { throw bad_typeid(); }

void __throw_logic_error(const char* message) { throw CLibraryFault(message); }
void __throw_domain_error(const char* message) { throw CLibraryFault(message); }
void __throw_invalid_argument(const char* message) { throw CLibraryFault(message); }
void __throw_length_error(const char* message) { throw CLibraryFault(message); }
void __throw_out_of_range(const char* message) { throw CLibraryFault(message); }
void __throw_out_of_range_fmt(const char* format, ...) { throw CLibraryFault(format); }
void __throw_runtime_error(const char* message) { throw CLibraryFault(message); }
void __throw_range_error(const char* message) { throw CLibraryFault(message); }
void __throw_overflow_error(const char* message) { throw CLibraryFault(message); }
void __throw_underflow_error(const char* message) { throw CLibraryFault(message); }

}  // namespace std

#endif
