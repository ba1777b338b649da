// The inspect program as a whole: its exit statuses and messages for the files that are not
// sound containers, usage errors and files it cannot read.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/embed/embed_harness.h"
#include "tests/support/test_containers.h"
#include "tests/support/pe_test_image.h"

namespace scrivora {
namespace {

using test::ProgramRun;

struct Inspector {
  test::TempDir dir;
  std::filesystem::path work = dir / "work";
  Inspector() { std::filesystem::create_directories(work); }

  ProgramRun Run(const std::vector<std::string>& arguments) const {
    std::vector<NativeString> native;
    for (const std::string& a : arguments) native.push_back(test::NativeArgument(a));
    test::RunSettings settings;
    settings.workFolder = work;
    return test::RunProgramIn(settings, test::DistProgram("inspect"), native);
  }
};

std::string Image() {
  // Headers, then zeros to the end, as a real program image ends.
  const test::ImageBytes image = test::PeImage(false, 512);
  return std::string(image.begin(), image.end());
}

TEST(InspectProgram, TheBadContainerTable) {
  const Inspector inspector;
  for (const test::BadContainer& c : test::BadContainers(Image())) {
    SCOPED_TRACE(c.name);
    test::WriteFile(inspector.work / "embedded.exe", c.bytes);
    const ProgramRun text = inspector.Run({"embedded.exe"});
    const ProgramRun json = inspector.Run({"--json", "embedded.exe"});
    if (c.inspectorReason.empty()) {
      EXPECT_EQ(text.status, 0) << text.err;
      EXPECT_EQ(json.status, 0) << json.err;
      EXPECT_NE(json.out.find("\"sound\": true"), std::string::npos) << json.out;
      continue;
    }
    EXPECT_EQ(text.status, 1);
    EXPECT_EQ(text.out, "");
    EXPECT_EQ(text.err,
              "inspect: embedded.exe: not a sound container. " + c.inspectorReason + "\n");
    EXPECT_EQ(json.status, 1);
    EXPECT_NE(json.out.find("\"sound\": false, \"reason\": \"" + c.inspectorReason + "\""),
              std::string::npos)
        << json.out;
    EXPECT_EQ(json.err, "");
  }
}

TEST(InspectProgram, UsageErrors) {
  const Inspector inspector;
  test::WriteFile(inspector.work / "a.exe", "");
  const std::vector<std::vector<std::string>> cases = {
      {}, {"--json"}, {"a.exe", "a.exe"}, {"--xml", "a.exe"}, {"-j", "a.exe"}};
  for (const auto& arguments : cases) {
    const ProgramRun run = inspector.Run(arguments);
    EXPECT_EQ(run.status, 2) << arguments.size();
    EXPECT_EQ(run.err.rfind("usage: inspect [--json] FILE\n", 0), 0u) << run.err;
    EXPECT_EQ(run.out, "");
  }
  // After "--" a name that looks like an option is a file.
  test::WriteFile(inspector.work / "--json", test::ContainerSpec{}.BuildOn(Image()));
  EXPECT_EQ(inspector.Run({"--", "--json"}).status, 0);
}

TEST(InspectProgram, AFileThatCannotBeRead) {
  const Inspector inspector;
  for (const char* name : {"missing.exe", "."}) {
    const ProgramRun run = inspector.Run({name});
    EXPECT_EQ(run.status, 1) << name;
    EXPECT_EQ(run.err.rfind(std::string("inspect: reading \"") + name + "\" failed: ", 0), 0u)
        << run.err;
  }
}

TEST(InspectProgram, ACutContainerIsNotSound) {
  const Inspector inspector;
  const std::string whole = test::ContainerSpec{}.BuildOn(Image());
  test::WriteFile(inspector.work / "whole.exe", whole);
  test::WriteFile(inspector.work / "half.exe", whole.substr(0, whole.size() / 2));
  EXPECT_EQ(inspector.Run({"whole.exe"}).status, 0);
  const ProgramRun half = inspector.Run({"half.exe"});
  EXPECT_EQ(half.status, 1);
  EXPECT_NE(half.err.find("This file contains no document."), std::string::npos) << half.err;
}

#if !defined(_WIN32)
TEST(InspectProgram, AReportThatCannotBeWrittenIsNoSuccess) {
  const Inspector inspector;
  const std::string whole = (inspector.work / "whole.exe").string();
  const std::string missing = (inspector.work / "missing.exe").string();
  test::WriteFile(whole, test::ContainerSpec{}.BuildOn(Image()));
  for (const std::string& arguments :
       {"'" + whole + "'", "--json '" + whole + "'", "--json '" + missing + "'"}) {
    const int status = test::RunProgram(test::DistProgram("inspect"), arguments, "/dev/null",
                                        "/dev/full", inspector.dir / "err");
    EXPECT_EQ(status, 3) << arguments;
    EXPECT_NE(test::ReadFile(inspector.dir / "err")
                  .find("inspect: writing the report to standard output failed"),
              std::string::npos)
        << arguments;
  }
}
#endif

}  // namespace
}  // namespace scrivora
