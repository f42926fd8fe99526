// The parameters each edition declares, field by field.
#include <cstring>

#include "presets/presets.h"
#include "tests/host/plugin_host.h"
#include "tests/support/host_failures.h"

namespace gw::testing {
namespace {

std::unique_ptr<TestHost> Declared(const char* edition) {
  auto host = std::make_unique<TestHost>(PluginPath(edition));
  EXPECT_EQ(host->GlobalSetup(), PF_Err_NONE);
  EXPECT_EQ(host->ParamsSetup(), PF_Err_NONE);
  return host;
}

// Every field outside the ones a row sets is zero.
void ExpectZeroUiFields(const PF_ParamDef& d) {
  EXPECT_EQ(d.ui_flags, 0);
  EXPECT_EQ(d.ui_width, 0);
  EXPECT_EQ(d.ui_height, 0);
}

void ExpectBrightness(const PF_ParamDef& d) {
  EXPECT_STREQ(d.name, "Brightness");
  EXPECT_EQ(d.param_type, PF_Param_FIX_SLIDER);
  EXPECT_EQ(d.u.fd.value, 0x00640000);
  EXPECT_EQ(d.u.fd.dephault, 0x00640000);
  EXPECT_EQ(d.u.fd.valid_min, 0);
  EXPECT_EQ(d.u.fd.valid_max, 300 << 16);  // typed up to 300 ...
  EXPECT_EQ(d.u.fd.slider_min, 0);
  EXPECT_EQ(d.u.fd.slider_max, 200 << 16);  // ... the slider stops at 200
  EXPECT_EQ(d.u.fd.precision, 1);
  EXPECT_EQ(d.u.fd.display_flags, 0);
  EXPECT_EQ(d.u.fd.value_str[0], 0);
  EXPECT_EQ(d.u.fd.value_desc[0], 0);
  EXPECT_EQ(d.flags, 0);
}

void ExpectScale(const PF_ParamDef& d) {
  EXPECT_STREQ(d.name, "Scale");
  EXPECT_EQ(d.param_type, PF_Param_FIX_SLIDER);
  EXPECT_EQ(d.u.fd.value, 0x00010000);
  EXPECT_EQ(d.u.fd.dephault, 0x00010000);
  EXPECT_EQ(d.u.fd.valid_min, 0x1999);
  EXPECT_EQ(d.u.fd.valid_max, 5 << 16);
  EXPECT_EQ(d.u.fd.slider_min, 0x1999);
  EXPECT_EQ(d.u.fd.slider_max, 5 << 16);
  EXPECT_EQ(d.u.fd.precision, 2);
  EXPECT_EQ(d.u.fd.display_flags, 0);
  EXPECT_EQ(d.flags, 0);
}

void ExpectPoint(const PF_ParamDef& d) {
  EXPECT_STREQ(d.name, "Light Source Location");
  EXPECT_EQ(d.param_type, PF_Param_POINT);
  EXPECT_EQ(d.u.td.x_value, 30 << 16);
  EXPECT_EQ(d.u.td.y_value, 30 << 16);
  EXPECT_EQ(d.u.td.x_dephault, 30 << 16);
  EXPECT_EQ(d.u.td.y_dephault, 30 << 16);
  EXPECT_EQ(d.u.td.restrict_bounds, 0);
  EXPECT_EQ(d.flags, 0);
}

void ExpectColor(const PF_ParamDef& d) {
  EXPECT_STREQ(d.name, "Color");
  EXPECT_EQ(d.param_type, PF_Param_COLOR);
  for (const PF_Pixel& p : {d.u.cd.value, d.u.cd.dephault}) {
    EXPECT_EQ(p.alpha, 50);
    EXPECT_EQ(p.red, 255);
    EXPECT_EQ(p.green, 255);
    EXPECT_EQ(p.blue, 255);
  }
  EXPECT_EQ(d.flags, 0);
}

void ExpectAngle(const PF_ParamDef& d) {
  EXPECT_STREQ(d.name, "Angle");
  EXPECT_EQ(d.param_type, PF_Param_ANGLE);
  EXPECT_EQ(d.u.ad.value, 0);
  EXPECT_EQ(d.u.ad.dephault, 0);
  EXPECT_EQ(d.flags, PF_ParamFlag_COLLAPSE_TWIRLY);
}

void ExpectLayer(const PF_ParamDef& d, const char* name) {
  EXPECT_STREQ(d.name, name);
  EXPECT_EQ(d.param_type, PF_Param_LAYER);
  EXPECT_EQ(d.u.ld.dephault, PF_LayerDefault_NONE);
  EXPECT_EQ(d.u.ld.data, nullptr);
  EXPECT_EQ(d.flags, 0x10);
}

void ExpectObscurationType(const testhost::Declaration& decl) {
  const PF_ParamDef& d = decl.def;
  EXPECT_STREQ(d.name, "Obscuration Type");
  EXPECT_EQ(d.param_type, PF_Param_POPUP);
  EXPECT_EQ(d.u.pd.value, 0);
  EXPECT_EQ(d.u.pd.num_choices, 4);
  EXPECT_EQ(d.u.pd.dephault, 2);  // "Alpha"
  EXPECT_EQ(decl.choices, "RGB|Alpha|RGB + Alpha|Inverse Alpha");
  EXPECT_EQ(d.flags, 0);
}

void ExpectSourceSize(const PF_ParamDef& d) {
  EXPECT_STREQ(d.name, "Source size:");
  EXPECT_EQ(d.param_type, PF_Param_SLIDER);
  EXPECT_EQ(d.u.sd.value, 2);
  EXPECT_EQ(d.u.sd.dephault, 2);
  EXPECT_EQ(d.u.sd.valid_min, 1);
  EXPECT_EQ(d.u.sd.valid_max, 100);
  EXPECT_EQ(d.u.sd.slider_min, 1);
  EXPECT_EQ(d.u.sd.slider_max, 100);
  EXPECT_EQ(d.flags, PF_ParamFlag_COLLAPSE_TWIRLY);
}

TEST(Params, FullEditionDeclaresNineAndReportsTen) {
  auto host = Declared("full");
  const auto& d = host->declarations();
  ASSERT_EQ(d.size(), 9u);
  EXPECT_EQ(host->reportedNumParams(), 10);
  for (const auto& decl : d) ExpectZeroUiFields(decl.def);
  ExpectBrightness(d[0].def);
  ExpectScale(d[1].def);
  ExpectPoint(d[2].def);
  ExpectColor(d[3].def);
  ExpectAngle(d[4].def);
  ExpectLayer(d[5].def, "Location layer:");
  ExpectLayer(d[6].def, "Obscuration layer:");
  ExpectObscurationType(d[7]);
  ExpectSourceSize(d[8].def);
  ExpectCleanShutdown(*host);
}

TEST(Params, ShowcaseEditionDeclaresFiveAndReportsSix) {
  auto host = Declared("showcase");
  const auto& d = host->declarations();
  ASSERT_EQ(d.size(), 5u);
  EXPECT_EQ(host->reportedNumParams(), 6);
  ExpectBrightness(d[0].def);
  ExpectScale(d[1].def);
  ExpectColor(d[2].def);
  ExpectAngle(d[3].def);
  ExpectLayer(d[4].def, "Location layer:");
  ExpectCleanShutdown(*host);
}

TEST(Params, QuickEditionDeclaresTenAndReportsEleven) {
  auto host = Declared("quick");
  const auto& d = host->declarations();
  ASSERT_EQ(d.size(), 10u);
  EXPECT_EQ(host->reportedNumParams(), 11);
  ExpectBrightness(d[0].def);
  ExpectScale(d[1].def);
  ExpectPoint(d[2].def);
  ExpectColor(d[3].def);
  ExpectAngle(d[4].def);
  EXPECT_STREQ(d[5].def.name, "Flare Type");
  EXPECT_EQ(d[5].def.param_type, PF_Param_POPUP);
  EXPECT_EQ(d[5].def.u.pd.num_choices, 39);
  EXPECT_EQ(d[5].def.u.pd.dephault, 1);  // "35mm"
  EXPECT_EQ(d[5].def.flags, 0);
  EXPECT_EQ(d[5].choices.rfind("35mm|85mm|Arc Welder|", 0), 0u);
  EXPECT_EQ(d[5].choices, kPresetPopupItems);
  ExpectLayer(d[6].def, "Location layer:");
  ExpectLayer(d[7].def, "Obscuration layer:");
  ExpectObscurationType(d[8]);
  ExpectSourceSize(d[9].def);
  ExpectCleanShutdown(*host);
}

TEST(Params, RefusedDeclarationStopsWithTheHostsCode) {
  TestHost host(PluginPath("full"));
  ASSERT_EQ(host.GlobalSetup(), PF_Err_NONE);
  FailAddParam(host, 4, PF_Err_OUT_OF_MEMORY);
  EXPECT_EQ(host.ParamsSetup(), PF_Err_OUT_OF_MEMORY);
  EXPECT_EQ(host.declarations().size(), 3u);  // none after the refused one
  EXPECT_EQ(host.reportedNumParams(), 0);     // not set
  EXPECT_EQ(host.GlobalSetdown(), PF_Err_NONE);
  EXPECT_EQ(host.liveHandles(), 0);
  ExpectNoProblems(host);
}

}  // namespace
}  // namespace gw::testing
