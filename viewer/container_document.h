// What the viewer learns from its program file before any window exists: whether it carries a
// sound container, the trailer, the title as shown and the description proper.
#pragma once

#include <cstdint>
#include <string>

#include "container/layout.h"

namespace scrivora {

struct ContainerDocument {
  bool fileRead = false;      // the program file could be opened and read
  LayoutResult layout;        // the trailer checked against the file
  std::wstring title;         // the first description line, cut for display
  std::wstring description;   // everything after the title line, up to the trailer

  bool Valid() const { return fileRead && static_cast<bool>(layout); }
  // For the text pane of a file without a document: what is wrong, in plain words.
  std::wstring Problem() const;
  std::int32_t NotesPercent() const { return Valid() ? layout.trailer.notesPercent : 0; }
  std::int32_t Permissions() const { return Valid() ? layout.trailer.permissions : 0; }
  // Characters a pane may hold: the container's length less the viewer image.
  std::uint64_t TextLimit() const {
    return Valid() ? layout.containerEnd - static_cast<std::uint64_t>(layout.trailer.mainOffset)
                   : 0;
  }
  // Where the panes' decoders stop: a signature behind the container is not the document's.
  std::uint64_t ContainerEnd() const { return Valid() ? layout.containerEnd : 0; }
};

ContainerDocument ReadContainerDocument(const std::wstring& path);

// Description bytes as text: UTF-8 with or without its byte order mark, else the ANSI code page.
std::wstring DescriptionToWide(std::string_view bytes, bool utf8);

}  // namespace scrivora
