// Table-driven cases print as their names, so that test lists and failures
// name the case in words rather than as a dump of its bytes.
#pragma once

#include <ostream>
#include <string>

namespace drayvane_test {

template <typename T>
concept NamedCase = requires(const T &c) {
  std::string(c.name);
};

// GoogleTest finds it by argument-dependent lookup: a test file brings it
// into the namespace of its case types with `using drayvane_test::PrintTo;`.
template <NamedCase T> void PrintTo(const T &c, std::ostream *os) {
  *os << c.name;
}

} // namespace drayvane_test
