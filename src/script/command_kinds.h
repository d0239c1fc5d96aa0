// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace nova {

// The 61 command kinds, numbered as pages store them.
enum class TCommandId : uint8_t {
  If,
  Elseif,
  Else,
  Label,
  Jump,
  Call,
  Exit,
  Wait,
  BoxNew,
  ImgNew,
  MesNew,
  Timer,
  Movie,
  Flip,
  Calc,
  VarNew,
  VarDel,
  GetProp,
  SetProp,
  ObjDel,
  TextIns,
  MovieStop,
  ClrHist,
  Cinema,
  Caption,
  Menu,
  MenuClose,
  Comment,
  TextClr,
  CallHist,
  Button,
  While,
  WhileInit,
  WhileLoop,
  Break,
  Continue,
  ParticleNew,
  FireNew,
  GameSave,
  GameLoad,
  PCReset,
  Reset,
  Sound,
  EditNew,
  MemoNew,
  Terminate,
  DoEvent,
  ClrRead,
  MapImgNew,
  WaveNew,
  TileNew,
  SliderNew,
  ScrollbarNew,
  GaugeNew,
  CGCaption,
  MediaPlay,
  PrevMenuNew,
  PropMotion,
  FormatHist,
  SaveCabinet,
  LoadCabinet,
};

struct TCommandKindInfo {
  const char* name;    // "If"
  const char* caption; // the authoring tool's caption, UTF-8
  const char* class_name;
  bool creates_component; // carries property expressions by the page's mask
};

// Info of a command id 0…60.
const TCommandKindInfo& CommandKindInfo(TCommandId id);
// The id of a kind name ("Calc"), or -1.
int CommandIdByName(std::string_view name);
// The caption in Shift-JIS (trace output and tools).
std::string CommandCaption(TCommandId id);

} // namespace nova
