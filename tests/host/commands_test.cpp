// The command table, the identity each edition reports, and the lifetime of
// the global and sequence handles, through the real modules.
#include <cctype>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "tests/host/plugin_host.h"
#include "tests/support/pe_image.h"
#include "tests/support/host_failures.h"

namespace gw::testing {
namespace {

struct Identity {
  const char* edition;
  const char* piplName;
  const char* matchName;
  const char* effectName;
  uint32_t outFlags;
  bool hasDialog;
};

const Identity kIdentities[] = {
    {"full", "Glarewright     ", "TSLY Studio Flare     ", "Glarewright Studio", 0x00080423, true},
    {"showcase", "Glarewright Showcase     ", "TSLY Showcase     ", "Glarewright Studio",
     0x00000421, true},
    {"quick", "Glarewright Quick     ", "TSLY Custom Flare Quick     ", "Tessaly Glarewright",
     0x00080403, false},
};

void PrintTo(const Identity& id, std::ostream* os) { *os << id.edition; }

class EditionTest : public ::testing::TestWithParam<Identity> {};

TEST_P(EditionTest, PiplAndGlobalSetupAgree) {
  const Identity& id = GetParam();
  TestHost host(PluginPath(id.edition));
  ASSERT_TRUE(host.pipl()) << host.piplError();
  const testhost::PiplInfo& pipl = *host.pipl();
  ASSERT_EQ(pipl.properties.size(), 11u);
  const char* keys[] = {"kind", "name", "catg", "wx86", "ePVR", "eSVR",
                        "eVER", "eINF", "eGLO", "eMNA", "aeFL"};
  for (size_t i = 0; i < 11; ++i) {
    EXPECT_EQ(pipl.properties[i].vendor, "8BIM");
    EXPECT_EQ(pipl.properties[i].key, keys[i]);
  }
  EXPECT_EQ(pipl.kind, "eFKT");
  EXPECT_EQ(pipl.name, id.piplName);
  EXPECT_EQ(pipl.category, "Tessaly Glarewright");
  EXPECT_EQ(pipl.entryPoint, "main");
  EXPECT_EQ(pipl.piplMajor, 2);
  EXPECT_EQ(pipl.piplMinor, 0);
  EXPECT_EQ(pipl.specMajor, 11);
  EXPECT_EQ(pipl.specMinor, 0);
  EXPECT_EQ(pipl.version, 0x00100600u);
  EXPECT_EQ(pipl.info, 0);
  EXPECT_EQ(pipl.outFlags, id.outFlags);
  EXPECT_EQ(pipl.matchName, id.matchName);
  EXPECT_EQ(pipl.reservedInfo, 0u);

  ASSERT_EQ(host.GlobalSetup(), PF_Err_NONE);
  EXPECT_EQ(host.reportedName(), id.effectName);
  EXPECT_EQ(host.reportedVersion(), 0x00100600u);
  EXPECT_EQ(static_cast<uint32_t>(host.reportedOutFlags()), id.outFlags);
  EXPECT_EQ(host.liveHandles(), 1);
  ExpectNoProblems(host);  // includes the PiPL comparison
  EXPECT_EQ(host.GlobalSetdown(), PF_Err_NONE);
  EXPECT_EQ(host.liveHandles(), 0);
}

TEST_P(EditionTest, UnusedCommandsReturnZeroAndChangeNothing) {
  auto host = NewInstance(GetParam().edition);
  const std::vector<uint8_t> before = host->SequenceBytes();
  const int allocations = host->handleAllocations();
  std::vector<int> codes = {PF_Cmd_UNUSED_0, PF_Cmd_SEQUENCE_FLATTEN, PF_Cmd_FRAME_SETUP, 12, 13,
                            14, 15, 16, 17, 18, 19, 20, 21, 22, 99, 100000, -1};
  if (!GetParam().hasDialog) codes.push_back(PF_Cmd_DO_DIALOG);
  for (int code : codes) {
    EXPECT_EQ(host->Command(static_cast<PF_Cmd>(code)), PF_Err_NONE) << code;
  }
  EXPECT_EQ(host->SequenceBytes(), before);
  EXPECT_EQ(host->handleAllocations(), allocations);
  ExpectCleanShutdown(*host);
}

TEST_P(EditionTest, AboutComesAnyTime) {
  TestHost host(PluginPath(GetParam().edition));
  EXPECT_EQ(host.About(), PF_Err_NONE);  // before global setup: no parent window
  EXPECT_EQ(host.GlobalSetup(), PF_Err_NONE);
  EXPECT_EQ(host.About(), PF_Err_NONE);
  EXPECT_EQ(host.GlobalSetdown(), PF_Err_NONE);
  EXPECT_EQ(host.liveHandles(), 0);
  ExpectNoProblems(host);
}

TEST_P(EditionTest, FreshSequenceDataIsTheStoredDefaultLens) {
  auto host = NewInstance(GetParam().edition);
  EXPECT_EQ(host->lastOut().flat_sdata_size, 12008);
  const std::vector<uint8_t> bytes = host->SequenceBytes();
  ASSERT_EQ(bytes.size(), 12008u);
  const std::vector<uint8_t> head(bytes.begin(), bytes.begin() + 8);
  EXPECT_EQ(head, (std::vector<uint8_t>{0x00, 0x01, 0x00, 0x02, 0x00, 0x00, 0x00, 0x03}));
  Lens lens = EmptyLens();
  BuildDefaultLens(lens);
  EXPECT_EQ(bytes, StoredBytes(lens));  // slots past the third are zero, not host bytes
  ExpectCleanShutdown(*host);
}

TEST_P(EditionTest, ResetupKeepsStoredBytesOrCreatesTheDefault) {
  TestHost host(PluginPath(GetParam().edition));
  ASSERT_EQ(host.GlobalSetup(), PF_Err_NONE);
  ASSERT_EQ(host.ParamsSetup(), PF_Err_NONE);
  std::vector<uint8_t> stored = StoredBytes(LensOf(17, 5));
  stored[8000] = 0x77;  // an unused slot keeps whatever the project holds
  ASSERT_EQ(host.SequenceResetup(stored), PF_Err_NONE);
  EXPECT_EQ(host.SequenceBytes(), stored);
  EXPECT_EQ(host.SequenceSetdown(), PF_Err_NONE);

  ASSERT_EQ(host.SequenceResetup(std::nullopt), PF_Err_NONE);
  Lens lens = EmptyLens();
  BuildDefaultLens(lens);
  EXPECT_EQ(host.SequenceBytes(), StoredBytes(lens));
  ExpectCleanShutdown(host);
}

TEST_P(EditionTest, SetupOverHostDataRenewsOnlyTheVersion) {
  auto host = NewInstance(GetParam().edition);
  std::vector<uint8_t> stored = StoredBytes(LensOf(0, 2));
  stored[0] = 0x12;  // an old version word
  ASSERT_EQ(host->SequenceResetup(stored), PF_Err_NONE);
  ASSERT_EQ(host->SequenceSetup(), PF_Err_NONE);  // the host already holds data
  std::vector<uint8_t> expected = stored;
  expected[0] = 0x00;
  EXPECT_EQ(host->SequenceBytes(), expected);
  ExpectCleanShutdown(*host);
}

TEST_P(EditionTest, SetdownTwiceDoesNothingTheSecondTime) {
  auto host = NewInstance(GetParam().edition);
  EXPECT_EQ(host->SequenceSetdown(), PF_Err_NONE);
  EXPECT_EQ(host->SequenceSetdown(), PF_Err_NONE);
  EXPECT_EQ(host->GlobalSetdown(), PF_Err_NONE);
  EXPECT_EQ(host->GlobalSetdown(), PF_Err_NONE);
  EXPECT_EQ(host->liveHandles(), 0);
  ExpectNoProblems(*host);
}

TEST_P(EditionTest, GlobalSetupWithHostDataDoesNotAllocate) {
  TestHost host(PluginPath(GetParam().edition));
  ASSERT_EQ(host.GlobalSetup(), PF_Err_NONE);
  const int allocations = host.handleAllocations();
  ASSERT_EQ(host.GlobalSetup(), PF_Err_NONE);  // the host hands its global handle back
  EXPECT_EQ(host.handleAllocations(), allocations);
  EXPECT_EQ(host.reportedName(), GetParam().effectName);
  EXPECT_EQ(host.liveHandles(), 1);
  EXPECT_EQ(host.GlobalSetdown(), PF_Err_NONE);
  ExpectNoProblems(host);
}

TEST_P(EditionTest, HandleAllocationFailuresReturnMinus108AndLeaveNothing) {
  TestHost host(PluginPath(GetParam().edition));
  FailHandleAllocation(host, 1);
  EXPECT_EQ(host.GlobalSetup(), -108);
  EXPECT_FALSE(host.hasGlobalData());
  ASSERT_EQ(host.GlobalSetup(), PF_Err_NONE);
  ASSERT_EQ(host.ParamsSetup(), PF_Err_NONE);
  FailHandleAllocation(host, 1);
  EXPECT_EQ(host.SequenceSetup(), -108);
  EXPECT_FALSE(host.hasSequenceData());
  FailHandleAllocation(host, 1);
  EXPECT_EQ(host.SequenceResetup(std::nullopt), -108);
  EXPECT_FALSE(host.hasSequenceData());
  ExpectCleanShutdown(host);
}

TEST_P(EditionTest, RenderWithoutSequenceDataFails) {
  TestHost host(PluginPath(GetParam().edition));
  ASSERT_EQ(host.GlobalSetup(), PF_Err_NONE);
  ASSERT_EQ(host.ParamsSetup(), PF_Err_NONE);
  Image out;
  EXPECT_EQ(host.Render(0, PatternFrame(16, 8), out), PF_Err_INTERNAL_STRUCT_DAMAGED);
  EXPECT_STREQ(host.lastOut().return_msg, "Flare invoked without globals");
  EXPECT_TRUE(host.lastOut().out_flags & PF_OutFlag_DISPLAY_ERROR_MESSAGE);
  for (const PF_Pixel& p : out.pixels) ASSERT_EQ(p.red, 0x5A);  // not written
  ExpectCleanShutdown(host);
}

TEST_P(EditionTest, DialogLeavesTheStoredLensAsItWas) {
  auto host = NewInstance(GetParam().edition);
  Lens lens = LensOf(9, 4);
  SetElementName(lens.elements[2], "Kept name");
  lens.elements[1].brightness = 0.123f;
  const std::vector<uint8_t> stored = StoredBytes(lens);
  ASSERT_EQ(host->SequenceResetup(stored), PF_Err_NONE);
  EXPECT_EQ(host->DoDialog(), PF_Err_NONE);
  EXPECT_EQ(host->SequenceBytes(), stored);
  ExpectCleanShutdown(*host);
}

INSTANTIATE_TEST_SUITE_P(Editions, EditionTest, ::testing::ValuesIn(kIdentities),
                         [](const auto& info) { return std::string(info.param.edition); });

#ifdef _WIN32
std::vector<uint8_t> FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

TEST(PluginModules, ExportOnlyMainAndImportOnlySystemDlls) {
  for (const char* edition : {"full", "showcase", "quick"}) {
    std::string error;
    const auto tables = ReadPeTables(FileBytes(PluginPath(edition)), error);
    ASSERT_TRUE(tables) << edition << ": " << error;
    EXPECT_EQ(tables->exports, std::vector<std::string>{"main"}) << edition;
    EXPECT_FALSE(tables->imports.empty()) << edition;
    for (const std::string& dll : tables->imports) EXPECT_TRUE(IsSystemDll(dll)) << dll;
  }
}
#else
TEST(PluginModules, ExportOnlyMain) {
  for (const char* edition : {"full", "showcase", "quick"}) {
    const std::string command = "nm -D --defined-only '" + PluginPath(edition) + "'";
    std::FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::vector<std::string> symbols;
    char line[512];
    while (std::fgets(line, sizeof line, pipe)) {
      char address[64], kind[8], name[400];
      if (std::sscanf(line, "%63s %7s %399s", address, kind, name) == 3) symbols.push_back(name);
    }
    EXPECT_EQ(pclose(pipe), 0);
    EXPECT_EQ(symbols, std::vector<std::string>{"main"}) << edition;
  }
}
#endif

}  // namespace
}  // namespace gw::testing
