#include "embed/converters.h"

#include <algorithm>

namespace scrivora {
namespace {

namespace fs = std::filesystem;

#if defined(_WIN32)
constexpr NativeString::value_type kSearchPathSeparator = L';';
#else
constexpr NativeString::value_type kSearchPathSeparator = ':';
#endif

NativeString Native(const std::string& utf8) {
  return fs::path(std::u8string(utf8.begin(), utf8.end())).native();
}

std::vector<fs::path> SearchPathFolders(const EnvironmentLookup& environment) {
  std::vector<fs::path> folders;
  const std::optional<NativeString> path = environment("PATH");
  if (!path) return folders;
  NativeString folder;
  bool quoted = false;
  for (std::size_t i = 0; i <= path->size(); ++i) {
    const bool end = i == path->size();
#if defined(_WIN32)
    // Windows allows a folder in quotation marks, for one that holds the separator.
    if (!end && (*path)[i] == L'"') {
      quoted = !quoted;
      continue;
    }
#endif
    if (end || ((*path)[i] == kSearchPathSeparator && !quoted)) {
      // An empty or relative entry names the current folder or one below it: the author's
      // document folder is never searched for a program to run.
      if (!folder.empty() && fs::path(folder).is_absolute()) folders.emplace_back(folder);
      folder.clear();
    } else {
      folder.push_back((*path)[i]);
    }
  }
  return folders;
}

}  // namespace

std::optional<Converter> ConverterFor(SourceKind kind) {
  switch (kind) {
    case SourceKind::Docx:
    case SourceKind::Doc:
    case SourceKind::Odt:
      return Converter::LibreOffice;
    case SourceKind::Markdown:
      return Converter::Pandoc;
    case SourceKind::Rtf:
    case SourceKind::Unknown:
      break;
  }
  return std::nullopt;
}

const char* ConverterName(Converter converter) {
  return converter == Converter::LibreOffice ? "LibreOffice" : "pandoc";
}

std::vector<fs::path> ConverterCandidates(Converter converter,
                                          const EnvironmentLookup& environment) {
#if defined(_WIN32)
  const std::vector<const char*> names =
      converter == Converter::LibreOffice ? std::vector{"soffice.exe"} : std::vector{"pandoc.exe"};
#else
  const std::vector<const char*> names = converter == Converter::LibreOffice
                                             ? std::vector{"soffice", "libreoffice"}
                                             : std::vector{"pandoc"};
#endif
  std::vector<fs::path> candidates;
  const std::vector<fs::path> folders = SearchPathFolders(environment);
  for (const char* name : names) {
    for (const fs::path& folder : folders) candidates.push_back(folder / name);
  }
#if defined(_WIN32)
  // Where the installers put them: LibreOffice for all users (64 or 32 bits), pandoc for the
  // user alone or for all users.
  struct InstallFolder {
    const char* variable;
    const wchar_t* rest;
  };
  const std::vector<InstallFolder> installed =
      converter == Converter::LibreOffice
          ? std::vector<InstallFolder>{{"ProgramFiles", L"LibreOffice\\program\\soffice.exe"},
                                       {"ProgramW6432", L"LibreOffice\\program\\soffice.exe"},
                                       {"ProgramFiles(x86)", L"LibreOffice\\program\\soffice.exe"}}
          : std::vector<InstallFolder>{{"LOCALAPPDATA", L"Pandoc\\pandoc.exe"},
                                       {"ProgramFiles", L"Pandoc\\pandoc.exe"}};
  for (const InstallFolder& folder : installed) {
    const std::optional<NativeString> base = environment(folder.variable);
    if (!base || base->empty()) continue;
    const fs::path candidate = fs::path(*base) / folder.rest;
    if (std::find(candidates.begin(), candidates.end(), candidate) == candidates.end()) {
      candidates.push_back(candidate);
    }
  }
#endif
  return candidates;
}

std::string MissingConverterAdvice(Converter converter, SourceKind kind) {
  const std::string document = std::string(SourceKindName(kind)) + " documents";
#if defined(_WIN32)
  if (converter == Converter::LibreOffice) {
    return "LibreOffice converts " + document +
           " to RTF and was found neither on the search path (soffice.exe) nor under Program "
           "Files: install LibreOffice (https://www.libreoffice.org/download/) or save the "
           "document as RTF";
  }
  return "pandoc converts " + document +
         " to RTF and was found neither on the search path (pandoc.exe) nor in %LOCALAPPDATA%"
         "\\Pandoc: install pandoc (https://pandoc.org/installing.html) or save the document as "
         "RTF";
#else
  if (converter == Converter::LibreOffice) {
    return "LibreOffice converts " + document +
           " to RTF and is not on the search path (soffice or libreoffice): install it (Debian: "
           "apt install libreoffice-writer-nogui) or save the document as RTF";
  }
  return "pandoc converts " + document +
         " to RTF and is not on the search path: install it (Debian: apt install pandoc) or save "
         "the document as RTF";
#endif
}

std::vector<NativeString> ConverterArguments(Converter converter, const fs::path& source,
                                             const fs::path& output, const fs::path& profile) {
  if (converter == Converter::Pandoc) {
    // Pictures that the text names relative to itself are looked for beside it.
    return {Native("-s"),  Native("-f"), Native("markdown"), Native("-t"),
            Native("rtf"), Native("--resource-path=") + source.parent_path().native(),
            Native("-o"),  output.native(), source.native()};
  }
  return {Native("--headless"),    Native("--norestore"),
          Native("--nolockcheck"), Native("-env:UserInstallation=" + FileUrl(profile)),
          Native("--convert-to"),  Native("rtf"),
          Native("--outdir"),      output.native(),
          source.native()};
}

std::string FileUrl(const fs::path& absolute) {
  const std::u8string utf8 = absolute.u8string();
  std::string path(utf8.begin(), utf8.end());
  std::string url = "file://";
#if defined(_WIN32)
  for (char& c : path) {
    if (c == '\\') c = '/';
  }
  if (path.starts_with("//")) {
    path.erase(0, 1);  // \\server\share\... becomes file://server/share/...
    path.erase(0, 1);
  } else {
    url += '/';  // C:\... becomes file:///C:/...
  }
#endif
  static constexpr char kHex[] = "0123456789ABCDEF";
  for (std::size_t i = 0; i < path.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(path[i]);
    const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                       c == '-' || c == '.' || c == '_' || c == '~' || c == '/';
#if defined(_WIN32)
    const bool driveColon = c == ':' && i == 1;
#else
    const bool driveColon = false;
#endif
    if (plain || driveColon) {
      url += static_cast<char>(c);
    } else {
      url += '%';
      url += kHex[c >> 4];
      url += kHex[c & 0xF];
    }
  }
  return url;
}

}  // namespace scrivora
