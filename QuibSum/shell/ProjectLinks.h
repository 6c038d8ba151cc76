#pragma once
// The project's web pages that the program opens: where to support it and where its releases
// are published (there is no self-updating binary: a new release is installed like any other
// package). Kept here alone so that packagers change them in one place.

namespace quibsum::ProjectLinks {

inline constexpr const char* donate = "https://quibsum.example/donate";
inline constexpr const char* releases = "https://quibsum.example/releases";

}  // namespace quibsum::ProjectLinks
