// Our own declarations of the host's effect plug-in interface: the records,
// callback tables and constants that the plug-ins and the test host use.
//
// 32-bit Windows: the host packs these records to 2 bytes and `long` is 32
// bits; the layout below matches it byte for byte (checked at the end of this
// file). Elsewhere the same declarations get natural alignment, and both
// sides of every call include this header.
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(_WIN32)
#pragma pack(push, 2)
#endif

extern "C" {

// ---------------------------------------------------------------------------
// Scalars

typedef int32_t PF_Err;
typedef int32_t PF_Fixed;      // signed 16.16
typedef int32_t PF_ParamIndex;
typedef int32_t PF_ParamType;
typedef int32_t PF_ParamFlags;
typedef int32_t PF_ParamUIFlags;
typedef int32_t PF_Quality;
typedef int32_t PF_Field;
typedef int32_t PF_InFlags;
typedef int32_t PF_OutFlags;
typedef int32_t PF_OutFlags2;
typedef int32_t PF_WorldFlags;
typedef int32_t PF_PlatDataID;
typedef void** PF_Handle;       // the data is one dereference away
typedef void* PF_ProgPtr;       // the host's effect reference

// Commands. The order never changes.
enum PF_Cmd : int32_t {
  PF_Cmd_ABOUT = 0,
  PF_Cmd_GLOBAL_SETUP = 1,
  PF_Cmd_UNUSED_0 = 2,
  PF_Cmd_GLOBAL_SETDOWN = 3,
  PF_Cmd_PARAMS_SETUP = 4,
  PF_Cmd_SEQUENCE_SETUP = 5,
  PF_Cmd_SEQUENCE_RESETUP = 6,
  PF_Cmd_SEQUENCE_FLATTEN = 7,
  PF_Cmd_SEQUENCE_SETDOWN = 8,
  PF_Cmd_DO_DIALOG = 9,
  PF_Cmd_FRAME_SETUP = 10,
  PF_Cmd_RENDER = 11,
  PF_Cmd_FRAME_SETDOWN = 12,
  PF_Cmd_USER_CHANGED_PARAM = 13,
  PF_Cmd_UPDATE_PARAMS_UI = 14,
  PF_Cmd_EVENT = 15,
  PF_Cmd_GET_EXTERNAL_DEPENDENCIES = 16,
  PF_Cmd_COMPLETELY_GENERAL = 17,
  PF_Cmd_QUERY_DYNAMIC_FLAGS = 18,
  PF_Cmd_AUDIO_RENDER = 19,
  PF_Cmd_AUDIO_SETUP = 20,
  PF_Cmd_AUDIO_SETDOWN = 21,
  PF_Cmd_ARBITRARY_CALLBACK = 22,
};

// Error codes.
enum : PF_Err {
  PF_Err_NONE = 0,
  PF_Err_OUT_OF_MEMORY = 4,
  PF_Err_INTERNAL_STRUCT_DAMAGED = 512,
  PF_Err_INVALID_INDEX = 513,
  PF_Err_UNRECOGNIZED_PARAM_TYPE = 514,
  PF_Err_INVALID_CALLBACK = 515,
  PF_Err_BAD_CALLBACK_PARAM = 516,
  PF_Interrupt_CANCEL = 517,
  PF_Err_CANNOT_PARSE_KEYFRAME_TEXT = 518,
};

// Global out flags.
enum : PF_OutFlags {
  PF_OutFlag_NONE = 0,
  PF_OutFlag_KEEP_RESOURCE_OPEN = 0x1,
  PF_OutFlag_WIDE_TIME_INPUT = 0x2,
  PF_OutFlag_NON_PARAM_VARY = 0x4,
  PF_OutFlag_SEQUENCE_DATA_NEEDS_FLATTENING = 0x10,
  PF_OutFlag_I_DO_DIALOG = 0x20,
  PF_OutFlag_USE_OUTPUT_EXTENT = 0x40,
  PF_OutFlag_SEND_DO_DIALOG = 0x80,
  PF_OutFlag_DISPLAY_ERROR_MESSAGE = 0x100,
  PF_OutFlag_I_EXPAND_BUFFER = 0x200,
  PF_OutFlag_PIX_INDEPENDENT = 0x400,
  PF_OutFlag_I_WRITE_INPUT_BUFFER = 0x800,
  PF_OutFlag_I_SHRINK_BUFFER = 0x1000,
  PF_OutFlag_WORKS_IN_PLACE = 0x2000,
  PF_OutFlag_CUSTOM_UI = 0x8000,
  PF_OutFlag_REFRESH_UI = 0x20000,
  PF_OutFlag_NOP_RENDER = 0x40000,
  PF_OutFlag_I_USE_SHUTTER_ANGLE = 0x80000,
  PF_OutFlag_I_USE_AUDIO = 0x100000,
};

// Parameter types and flags.
enum : PF_ParamType {
  PF_Param_LAYER = 0,
  PF_Param_SLIDER = 1,
  PF_Param_FIX_SLIDER = 2,
  PF_Param_ANGLE = 3,
  PF_Param_CHECKBOX = 4,
  PF_Param_COLOR = 5,
  PF_Param_POINT = 6,
  PF_Param_POPUP = 7,
};

enum : PF_ParamFlags {
  PF_ParamFlag_CANNOT_TIME_VARY = 0x2,
  PF_ParamFlag_CANNOT_INTERP = 0x4,
  PF_ParamFlag_RESERVED_0x10 = 0x10,  // an old bit; our layer parameters set it
  PF_ParamFlag_COLLAPSE_TWIRLY = 0x20,
};

enum : int32_t {
  PF_LayerDefault_MYSELF = -1,
  PF_LayerDefault_NONE = 0,
};

enum : int16_t { PF_ValueDisplayFlag_PERCENT = 1 };

enum : PF_Quality { PF_Quality_LO = 0, PF_Quality_HI = 1 };

enum : PF_PlatDataID { PF_PlatData_MAIN_WND = 0 };

// Stages of the version packing.
enum : uint32_t {
  PF_Stage_DEVELOP = 0,
  PF_Stage_ALPHA = 1,
  PF_Stage_BETA = 2,
  PF_Stage_RELEASE = 3,
};

// ---------------------------------------------------------------------------
// Small records

struct PF_Rect {
  int16_t top, left, bottom, right;
};

struct PF_Point {
  int16_t v, h;
};

struct PF_RationalScale {
  int32_t num;
  uint32_t den;
};

struct PF_SpecVersion {
  int16_t major;
  int16_t minor;
};

// Memory order alpha, red, green, blue.
struct PF_Pixel {
  uint8_t alpha, red, green, blue;
};

// The sound world the host passes with every call; we never read it.
struct PF_SoundWorld {
  uint8_t opaque[22];
};

// ---------------------------------------------------------------------------
// Images and parameters

// An image (the "effect world"): also the value of a layer parameter, whose
// data is null when no layer is chosen.
struct PF_LayerDef {
  int32_t reserved0;
  int32_t reserved1;
  PF_WorldFlags world_flags;
  void* data;
  int32_t rowbytes;
  int32_t width;
  int32_t height;
  PF_Rect extent_hint;
  void* platform_ref;
  int32_t reserved_long[8];
  int32_t dephault;  // PF_LayerDefault_…
};
typedef PF_LayerDef PF_EffectWorld;

struct PF_SliderDef {
  int32_t value;
  char value_str[32];
  char value_desc[32];
  int32_t valid_min, valid_max;
  int32_t slider_min, slider_max;
  int32_t dephault;
};

struct PF_FixedSliderDef {
  PF_Fixed value;
  char value_str[32];
  char value_desc[32];
  PF_Fixed valid_min, valid_max;
  PF_Fixed slider_min, slider_max;
  PF_Fixed dephault;
  int16_t precision;
  int16_t display_flags;  // PF_ValueDisplayFlag_PERCENT
};

struct PF_AngleDef {
  PF_Fixed value;     // degrees
  PF_Fixed dephault;
};

struct PF_ColorDef {
  PF_Pixel value;
  PF_Pixel dephault;
};

struct PF_PointDef {
  PF_Fixed x_value, y_value;
  char reserved[3];
  uint8_t restrict_bounds;
  PF_Fixed x_dephault, y_dephault;  // percent of the layer
};

struct PF_PopupDef {
  int32_t value;        // 1..num_choices
  int16_t num_choices;
  int16_t dephault;
  const char* namesptr;  // items separated by '|'
};

union PF_ParamDefUnion {
  PF_LayerDef ld;
  PF_SliderDef sd;
  PF_FixedSliderDef fd;
  PF_AngleDef ad;
  PF_ColorDef cd;
  PF_PointDef td;
  PF_PopupDef pd;
};

struct PF_ParamDef {
  union {
    int32_t id;
    int32_t change_flags;
  } uu;
  PF_ParamUIFlags ui_flags;
  int16_t ui_width;
  int16_t ui_height;
  PF_ParamType param_type;
  char name[32];
  PF_ParamFlags flags;
  int32_t unused;
  PF_ParamDefUnion u;
};
typedef PF_ParamDef* PF_ParamList[];

// ---------------------------------------------------------------------------
// Callback tables. Every function uses the default (cdecl) convention.

struct PF_InteractCallbacks {
  PF_Err (*checkout_param)(PF_ProgPtr effect_ref, PF_ParamIndex index, int32_t what_time,
                           int32_t time_step, uint32_t time_scale, PF_ParamDef* param);
  PF_Err (*checkin_param)(PF_ProgPtr effect_ref, PF_ParamDef* param);
  PF_Err (*add_param)(PF_ProgPtr effect_ref, PF_ParamIndex index, PF_ParamDef* def);
  PF_Err (*abort)(PF_ProgPtr effect_ref);
  PF_Err (*progress)(PF_ProgPtr effect_ref, int32_t current, int32_t total);
  void* register_ui;
  void* checkout_layer_audio;
  void* checkin_layer_audio;
  void* get_audio_data;
  void* reserved_str[3];
  void* reserved[10];
};

// The ANSI table of the utility callbacks; only sprintf and strcpy are used.
struct PF_ANSICallbacks {
  void* math[15];
  int (*sprintf)(char* buffer, const char* format, ...);
  char* (*strcpy)(char* dest, const char* src);
  void* reserved[3];
};

struct PF_UtilCallbacks {
  void* image_and_blit[21];
  PF_Handle (*host_new_handle)(uint32_t size);
  void* (*host_lock_handle)(PF_Handle handle);
  void (*host_unlock_handle)(PF_Handle handle);
  void (*host_dispose_handle)(PF_Handle handle);
  void* handle_size_and_resize[2];
  PF_ANSICallbacks ansi;
  void* colour_and_iteration[8];
  PF_Err (*get_platform_data)(PF_ProgPtr effect_ref, PF_PlatDataID which, void* data);
  void* reserved[15];
};

// ---------------------------------------------------------------------------
// What the host passes in and what the plug-in hands back

struct PF_InData {
  PF_InteractCallbacks inter;
  PF_UtilCallbacks* utils;
  PF_ProgPtr effect_ref;
  PF_Quality quality;
  PF_SpecVersion version;
  int32_t serial_num;
  int32_t appl_id;
  int32_t num_params;
  int32_t reserved;
  int32_t what_cpu;
  int32_t what_fpu;
  void* reserved_ptr;
  int32_t current_time;
  int32_t time_step;
  int32_t total_time;
  int32_t local_time_step;
  uint32_t time_scale;
  PF_Field field;
  PF_Fixed shutter_angle;  // fraction of the frame interval, 1.0 = 360 degrees
  int32_t width;
  int32_t height;
  PF_Rect extent_hint;
  int32_t output_origin_x;
  int32_t output_origin_y;
  PF_RationalScale downsample_x;
  PF_RationalScale downsample_y;
  PF_RationalScale pixel_aspect_ratio;
  PF_InFlags in_flags;
  PF_Handle global_data;
  PF_Handle sequence_data;
  PF_Handle frame_data;
  int32_t start_sampL;
  int32_t dur_sampL;
  int32_t total_sampL;
  PF_SoundWorld src_snd;
  void* pica_basicP;
  int32_t pre_effect_source_origin_x;
  int32_t pre_effect_source_origin_y;
  PF_Fixed shutter_phase;
};

struct PF_OutData {
  uint32_t my_version;
  char name[32];
  PF_Handle global_data;
  int32_t num_params;
  PF_Handle sequence_data;
  int32_t flat_sdata_size;
  PF_Handle frame_data;
  int32_t width;
  int32_t height;
  PF_Point origin;
  PF_OutFlags out_flags;
  char return_msg[256];
  int32_t start_sampL;
  int32_t dur_sampL;
  PF_SoundWorld dest_snd;
  PF_OutFlags2 out_flags2;
};

// The entry point, exported as `main`.
typedef PF_Err (*PF_EntryPoint)(PF_Cmd cmd, PF_InData* in_data, PF_OutData* out_data,
                                PF_ParamDef* params[], PF_LayerDef* output, void* extra);

}  // extern "C"

#if defined(_WIN32)
#pragma pack(pop)
#endif

// The version packing: build bits 0-8, stage 9-10, bug fix 11-14, minor
// 15-18, major 19 and up.
constexpr uint32_t PF_Version(uint32_t major, uint32_t minor, uint32_t bugFix, uint32_t stage,
                              uint32_t build) {
  return (major << 19) | (minor << 15) | (bugFix << 11) | (stage << 9) | build;
}

constexpr PF_Fixed PF_FixedFromInt(int32_t v) {
  return static_cast<PF_Fixed>(static_cast<uint32_t>(v) << 16);
}

// The layout the 32-bit host expects, byte for byte.
#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(PF_InteractCallbacks) == 88);
static_assert(offsetof(PF_InteractCallbacks, checkout_param) == 0);
static_assert(offsetof(PF_InteractCallbacks, checkin_param) == 4);
static_assert(offsetof(PF_InteractCallbacks, add_param) == 8);
static_assert(offsetof(PF_InteractCallbacks, abort) == 12);
static_assert(offsetof(PF_InteractCallbacks, progress) == 16);
static_assert(offsetof(PF_InteractCallbacks, register_ui) == 20);
static_assert(offsetof(PF_InteractCallbacks, get_audio_data) == 32);
static_assert(offsetof(PF_InteractCallbacks, reserved_str) == 36);
static_assert(offsetof(PF_InteractCallbacks, reserved) == 48);

static_assert(sizeof(PF_ANSICallbacks) == 80);
static_assert(offsetof(PF_ANSICallbacks, sprintf) == 60);
static_assert(offsetof(PF_ANSICallbacks, strcpy) == 64);

static_assert(sizeof(PF_UtilCallbacks) == 284);
static_assert(offsetof(PF_UtilCallbacks, host_new_handle) == 84);
static_assert(offsetof(PF_UtilCallbacks, host_lock_handle) == 88);
static_assert(offsetof(PF_UtilCallbacks, host_unlock_handle) == 92);
static_assert(offsetof(PF_UtilCallbacks, host_dispose_handle) == 96);
static_assert(offsetof(PF_UtilCallbacks, ansi) == 108);
static_assert(offsetof(PF_UtilCallbacks, ansi) + offsetof(PF_ANSICallbacks, sprintf) == 168);
static_assert(offsetof(PF_UtilCallbacks, ansi) + offsetof(PF_ANSICallbacks, strcpy) == 172);
static_assert(offsetof(PF_UtilCallbacks, get_platform_data) == 220);

static_assert(sizeof(PF_InData) == 274);
static_assert(offsetof(PF_InData, inter) == 0);
static_assert(offsetof(PF_InData, utils) == 88);
static_assert(offsetof(PF_InData, effect_ref) == 92);
static_assert(offsetof(PF_InData, quality) == 96);
static_assert(offsetof(PF_InData, version) == 100);
static_assert(offsetof(PF_InData, serial_num) == 104);
static_assert(offsetof(PF_InData, appl_id) == 108);
static_assert(offsetof(PF_InData, num_params) == 112);
static_assert(offsetof(PF_InData, what_cpu) == 120);
static_assert(offsetof(PF_InData, what_fpu) == 124);
static_assert(offsetof(PF_InData, current_time) == 132);
static_assert(offsetof(PF_InData, time_step) == 136);
static_assert(offsetof(PF_InData, total_time) == 140);
static_assert(offsetof(PF_InData, local_time_step) == 144);
static_assert(offsetof(PF_InData, time_scale) == 148);
static_assert(offsetof(PF_InData, field) == 152);
static_assert(offsetof(PF_InData, shutter_angle) == 156);
static_assert(offsetof(PF_InData, width) == 160);
static_assert(offsetof(PF_InData, height) == 164);
static_assert(offsetof(PF_InData, extent_hint) == 168);
static_assert(offsetof(PF_InData, output_origin_x) == 176);
static_assert(offsetof(PF_InData, output_origin_y) == 180);
static_assert(offsetof(PF_InData, downsample_x) == 184);
static_assert(offsetof(PF_InData, downsample_y) == 192);
static_assert(offsetof(PF_InData, pixel_aspect_ratio) == 200);
static_assert(offsetof(PF_InData, in_flags) == 208);
static_assert(offsetof(PF_InData, global_data) == 212);
static_assert(offsetof(PF_InData, sequence_data) == 216);
static_assert(offsetof(PF_InData, frame_data) == 220);
static_assert(offsetof(PF_InData, start_sampL) == 224);
static_assert(offsetof(PF_InData, dur_sampL) == 228);
static_assert(offsetof(PF_InData, total_sampL) == 232);
static_assert(offsetof(PF_InData, src_snd) == 236);
static_assert(offsetof(PF_InData, pica_basicP) == 258);
static_assert(offsetof(PF_InData, pre_effect_source_origin_x) == 262);
static_assert(offsetof(PF_InData, pre_effect_source_origin_y) == 266);
static_assert(offsetof(PF_InData, shutter_phase) == 270);

static_assert(sizeof(PF_OutData) == 362);
static_assert(offsetof(PF_OutData, my_version) == 0);
static_assert(offsetof(PF_OutData, name) == 4);
static_assert(offsetof(PF_OutData, global_data) == 36);
static_assert(offsetof(PF_OutData, num_params) == 40);
static_assert(offsetof(PF_OutData, sequence_data) == 44);
static_assert(offsetof(PF_OutData, flat_sdata_size) == 48);
static_assert(offsetof(PF_OutData, frame_data) == 52);
static_assert(offsetof(PF_OutData, width) == 56);
static_assert(offsetof(PF_OutData, height) == 60);
static_assert(offsetof(PF_OutData, origin) == 64);
static_assert(offsetof(PF_OutData, out_flags) == 68);
static_assert(offsetof(PF_OutData, return_msg) == 72);
static_assert(offsetof(PF_OutData, start_sampL) == 328);
static_assert(offsetof(PF_OutData, dur_sampL) == 332);
static_assert(offsetof(PF_OutData, dest_snd) == 336);
static_assert(offsetof(PF_OutData, out_flags2) == 358);

static_assert(sizeof(PF_LayerDef) == 76);
static_assert(offsetof(PF_LayerDef, world_flags) == 8);
static_assert(offsetof(PF_LayerDef, data) == 12);
static_assert(offsetof(PF_LayerDef, rowbytes) == 16);
static_assert(offsetof(PF_LayerDef, width) == 20);
static_assert(offsetof(PF_LayerDef, height) == 24);
static_assert(offsetof(PF_LayerDef, extent_hint) == 28);
static_assert(offsetof(PF_LayerDef, platform_ref) == 36);
static_assert(offsetof(PF_LayerDef, reserved_long) == 40);
static_assert(offsetof(PF_LayerDef, dephault) == 72);

static_assert(sizeof(PF_Pixel) == 4);
static_assert(offsetof(PF_Pixel, alpha) == 0);
static_assert(offsetof(PF_Pixel, red) == 1);
static_assert(offsetof(PF_Pixel, green) == 2);
static_assert(offsetof(PF_Pixel, blue) == 3);

static_assert(sizeof(PF_ParamDefUnion) == 92);
static_assert(offsetof(PF_SliderDef, value_str) == 4);
static_assert(offsetof(PF_SliderDef, value_desc) == 36);
static_assert(offsetof(PF_SliderDef, valid_min) == 68);
static_assert(offsetof(PF_SliderDef, valid_max) == 72);
static_assert(offsetof(PF_SliderDef, slider_min) == 76);
static_assert(offsetof(PF_SliderDef, slider_max) == 80);
static_assert(offsetof(PF_SliderDef, dephault) == 84);
static_assert(offsetof(PF_FixedSliderDef, dephault) == 84);
static_assert(offsetof(PF_FixedSliderDef, precision) == 88);
static_assert(offsetof(PF_FixedSliderDef, display_flags) == 90);
static_assert(offsetof(PF_AngleDef, dephault) == 4);
static_assert(offsetof(PF_ColorDef, dephault) == 4);
static_assert(offsetof(PF_PointDef, y_value) == 4);
static_assert(offsetof(PF_PointDef, reserved) == 8);
static_assert(offsetof(PF_PointDef, restrict_bounds) == 11);
static_assert(offsetof(PF_PointDef, x_dephault) == 12);
static_assert(offsetof(PF_PointDef, y_dephault) == 16);
static_assert(offsetof(PF_PopupDef, num_choices) == 4);
static_assert(offsetof(PF_PopupDef, dephault) == 6);
static_assert(offsetof(PF_PopupDef, namesptr) == 8);

static_assert(sizeof(PF_ParamDef) == 148);
static_assert(offsetof(PF_ParamDef, ui_flags) == 4);
static_assert(offsetof(PF_ParamDef, ui_width) == 8);
static_assert(offsetof(PF_ParamDef, ui_height) == 10);
static_assert(offsetof(PF_ParamDef, param_type) == 12);
static_assert(offsetof(PF_ParamDef, name) == 16);
static_assert(offsetof(PF_ParamDef, flags) == 48);
static_assert(offsetof(PF_ParamDef, u) == 56);
static_assert(offsetof(PF_ParamDef, u) + offsetof(PF_LayerDef, dephault) == 128);
#endif
