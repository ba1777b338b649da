// A stand-in for LibreOffice and pandoc: called with LibreOffice's arguments (--convert-to) it
// makes its profile folder and writes <outdir>/<source stem>.rtf, called with pandoc's (-o) it
// writes the output file. It appends its arguments to the file FAKE_CONVERTER_RECORD names.
// Words in the source make it fail in the ways embed has to notice.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/embed/fake_converter_words.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace {

namespace fs = std::filesystem;
using namespace scrivora::test;

std::string Utf8(const fs::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

fs::path FromUtf8(const std::string& text) {
  return fs::path(std::u8string(text.begin(), text.end()));
}

void Record(const std::string& line) {
  const char* record = std::getenv("FAKE_CONVERTER_RECORD");
  if (record == nullptr) return;
  std::ofstream out(FromUtf8(record), std::ios::app | std::ios::binary);
  out << line << '\n';
}

// file:///a%20b → /a b (file:///C:/a → C:/a on Windows).
fs::path PathOfFileUrl(const std::string& url) {
#if defined(_WIN32)
  std::string rest = url.substr(8);
#else
  std::string rest = url.substr(7);
#endif
  std::string decoded;
  for (std::size_t i = 0; i < rest.size(); ++i) {
    if (rest[i] == '%' && i + 2 < rest.size()) {
      decoded += static_cast<char>(std::stoi(rest.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else {
      decoded += rest[i];
    }
  }
  return FromUtf8(decoded);
}

void Sleep60() { std::this_thread::sleep_for(std::chrono::seconds(60)); }

// A process of its own that outlives this one unless its whole tree is stopped, as soffice.bin
// outlives the soffice script.
void StartLingeringChild(const fs::path& self) {
#if defined(_WIN32)
  std::wstring line = L"\"" + self.wstring() + L"\" --linger";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (CreateProcessW(self.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                     &startup, &process)) {
    Record("lingering\t" + std::to_string(process.dwProcessId));
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
#else
  (void)self;
  const pid_t pid = fork();
  if (pid == 0) {
    Sleep60();
    _exit(0);
  }
  Record("lingering\t" + std::to_string(pid));
#endif
}

int Run(const std::vector<fs::path>& arguments) {
  if (arguments.size() == 2 && arguments[1] == "--linger") {
    Sleep60();
    return 0;
  }
  std::ostringstream line;
  for (std::size_t i = 1; i < arguments.size(); ++i)
    line << (i > 1 ? "\t" : "") << Utf8(arguments[i]);
  Record("arguments\t" + line.str());

  bool libreOffice = false;
  fs::path output, outdir, profile;
  for (std::size_t i = 1; i + 1 < arguments.size(); ++i) {
    const std::string a = Utf8(arguments[i]);
    if (a == "--convert-to") libreOffice = true;
    if (a == "--outdir") outdir = arguments[i + 1];
    if (a == "-o") output = arguments[i + 1];
    if (a.rfind("-env:UserInstallation=", 0) == 0) profile = PathOfFileUrl(a.substr(22));
  }
  const fs::path source = arguments.back();
  std::ifstream in(source, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  const std::string content = text.str();
  auto has = [&content](const char* word) { return content.find(word) != std::string::npos; };

  // Its own temporary files must go into embed's folder, which holds its output folder, so
  // that nothing is left elsewhere when it is stopped.
  const fs::path folder = (libreOffice ? outdir : output.parent_path()).parent_path();
#if defined(_WIN32)
  const wchar_t* temporary = _wgetenv(L"TEMP");
#else
  const char* temporary = std::getenv("TMPDIR");
#endif
  std::error_code sameError;
  if (temporary == nullptr || !fs::equivalent(fs::path(temporary), folder / "tmp", sameError)) {
    std::fprintf(stderr, "fake converter: temporary folder %s, not in %s\n",
                 temporary == nullptr ? "(none)" : Utf8(fs::path(temporary)).c_str(),
                 Utf8(folder).c_str());
    return 8;
  }

  if (libreOffice) {
    // Like LibreOffice, it fills its profile; the folder that holds it must exist already.
    std::error_code error;
    if (!fs::is_directory(profile.parent_path(), error)) {
      std::fprintf(stderr, "fake converter: no folder for the profile %s\n", Utf8(profile).c_str());
      return 7;
    }
    fs::create_directories(profile / "user" / "config" / "soffice.cfg");
    std::ofstream(profile / "user" / "registrymodifications.xcu") << "<items/>\n";
    output = outdir / (source.stem().native() + fs::path(".rtf").native());
  }
  if (has(kConvertFails)) {
    std::fputs("fake converter: this document cannot be converted\n", stderr);
    return 5;
  }
  if (has(kConvertWritesNothing)) {
    std::puts("Error: source file could not be loaded");
    return 0;
  }
  if (has(kConvertHangs)) {
    std::ofstream(output) << "{\\rtf1 half";  // a half-written result, left for embed to remove
    StartLingeringChild(arguments[0]);
    Sleep60();
    return 0;
  }
  std::ofstream(output, std::ios::binary) << ConvertedRtf(libreOffice);
  std::puts("convert done");
  return 0;
}

}  // namespace

#if defined(_WIN32)
int wmain(int argc, wchar_t** argv) {
  std::vector<fs::path> arguments(argv, argv + argc);
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  arguments[0] = self;
  return Run(arguments);
}
#else
int main(int argc, char** argv) { return Run(std::vector<fs::path>(argv, argv + argc)); }
#endif
