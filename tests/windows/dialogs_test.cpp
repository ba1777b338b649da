#include <windows.h>
#include <gtest/gtest.h>

#include "tests/windows/viewer_harness.h"
#include "viewer/about_dlg.h"
#include "viewer/project_rc_version.h"
#include "viewer/resources/command_ids.h"

namespace scrivora::test {
namespace {

struct ShownBox {
  std::wstring caption;
  std::wstring text;
  HWND focus = nullptr;
  HWND ok = nullptr;
};

ShownBox ShowDocumentBox(RunningViewer& viewer) {
  ShownBox shown;
  WithModalBox([&] { viewer.Command(CM_HELPDOCUMENT); },
               [&](HWND box) {
                 shown.caption = WindowText(box);
                 shown.text = WindowText(::GetDlgItem(box, IDC_DOCCONTENT_TEXT));
                 shown.focus = ::GetFocus();
                 shown.ok = ::GetDlgItem(box, IDOK);
               });
  return shown;
}

TEST(ViewerDocumentBox, CaptionAndWholeText) {
  std::string longLines;
  std::wstring expected;
  for (int i = 0; i < 40; ++i) {
    longLines += "Line " + std::to_string(i) + " of a description that runs on and on.\r\n";
    expected += L"Line " + std::to_wstring(i) + L" of a description that runs on and on.\r\n";
  }
  struct Case {
    const char* name;
    std::string description;
    std::wstring text;
  };
  const Case cases[] = {
      {"two lines", "Title\r\nFirst\r\nSecond", L"First\r\nSecond"},
      {"title only", "Title\r\n", L""},
      {"many lines, far over 255 characters", "Title\r\n" + longLines, expected},
      {"lone line feeds", "Title\nOne\nTwo", L"One\r\nTwo"},
  };
  for (const Case& c : cases) {
    ContainerSpec parts;
    parts.description = c.description;
    const TestFile file(parts.Build());
    RunningViewer viewer(file.Path());
    const ShownBox shown = ShowDocumentBox(viewer);
    EXPECT_EQ(shown.caption, L"Scrivora 3 - Title") << c.name;
    EXPECT_EQ(shown.caption, WindowText(viewer.FrameHandle())) << c.name;
    EXPECT_EQ(shown.text, c.text) << c.name;
    EXPECT_EQ(shown.focus, shown.ok) << c.name;
    // A second time shows the same.
    EXPECT_EQ(ShowDocumentBox(viewer).text, c.text) << c.name;
  }
}

struct AboutLines {
  std::wstring caption, first, version, copyright, special;
};

AboutLines ReadAboutBox(HWND box) {
  AboutLines lines;
  lines.caption = WindowText(box);
  lines.version = WindowText(::GetDlgItem(box, IDC_ABOUT_VERSION));
  lines.copyright = WindowText(::GetDlgItem(box, IDC_ABOUT_COPYRIGHT));
  lines.special = WindowText(::GetDlgItem(box, IDC_ABOUT_SPECIALBUILD));
  for (HWND child = ::GetWindow(box, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
    if (::GetDlgCtrlID(child) == 0xFFFF && lines.first.empty()) lines.first = WindowText(child);
  return lines;
}

void ExpectViewerAboutLines(const AboutLines& lines) {
  EXPECT_EQ(lines.caption, L"About Scrivora3");
  EXPECT_EQ(lines.first, L"Scrivora 3 embedded RTF file viewer.");
  EXPECT_EQ(lines.version, L"Scrivora3 Version 3.02");
  EXPECT_EQ(lines.copyright, L"Copyright (c) 2026 The Scrivora developers");
  EXPECT_EQ(lines.special, L"");
}

TEST(ViewerAboutBox, LinesFromTheRunningProgramsVersion) {
  const TestFile file(ContainerSpec{}.Build());
  RunningViewer viewer(file.Path());
  AboutLines lines;
  WithModalBox([&] { viewer.Command(CM_HELPABOUT); }, [&](HWND box) { lines = ReadAboutBox(box); });
  ExpectViewerAboutLines(lines);
}

TEST(ViewerAboutBox, AContainerCarriesTheViewersVersion) {
  const TestFile container(ContainerSpec{}.Build());
  const TestFile bare(ViewerImage(), "scrivora.exe");
  for (const TestFile* file : {&container, &bare}) {
    const TProjectRCVersion version(file->Path().wstring());
    const wchar_t* value = nullptr;
    ASSERT_TRUE(version.GetProductName(value));
    EXPECT_STREQ(value, L"Scrivora3");
    ASSERT_TRUE(version.GetProductVersion(value));
    EXPECT_STREQ(value, L"3.02");
    EXPECT_FALSE(version.GetSpecialBuild(value));
    EXPECT_TRUE(version.Query(L"FileDescription", value));
    EXPECT_STREQ(value, L"Scrivora3 for Windows");

    AboutLines lines;
    TScrivora2AboutDlg box(nullptr, IDD_ABOUT, file->Path().wstring());
    WithModalBox([&] { box.Execute(); }, [&](HWND shown) { lines = ReadAboutBox(shown); });
    ExpectViewerAboutLines(lines);
  }
}

TEST(ViewerAboutBox, AFileWithoutVersionInformationKeepsTheTemplateTexts) {
  const TestFile file("not a program at all");
  const TProjectRCVersion version(file.Path().wstring());
  const wchar_t* value = nullptr;
  EXPECT_FALSE(version.GetProductName(value));
  AboutLines lines;
  TScrivora2AboutDlg box(nullptr, IDD_ABOUT, file.Path().wstring());
  WithModalBox([&] { box.Execute(); }, [&](HWND shown) { lines = ReadAboutBox(shown); });
  EXPECT_EQ(lines.version, L"Version");
  EXPECT_EQ(lines.copyright, L"");
}

}  // namespace
}  // namespace scrivora::test
