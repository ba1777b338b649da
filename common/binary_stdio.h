// Standard input and output taken byte for byte: no line-end translation, no end-of-file mark.
#pragma once

#include <cstdio>
#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#endif

namespace scrivora {

inline void UseBinaryStdio() {
#if defined(_WIN32)
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
#endif
}

}  // namespace scrivora
