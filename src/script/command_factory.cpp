// SPDX-License-Identifier: MIT
#include "script/command_factory.h"

#include "base/nova_error.h"
#include "base/nova_error_english.h"
#include "script/com_list.h"
#include "script/commands/component_commands.h"
#include "script/commands/flow_commands.h"
#include "script/commands/scene_commands.h"
#include "script/script_texts.h"

namespace nova {
namespace {

template <class T> std::unique_ptr<TCommand> Make(TComList* owner) {
  if constexpr (std::is_base_of_v<TComponentCommand, T>) {
    return std::make_unique<T>(owner, owner->masks().Entry(static_cast<int>(T::kId)));
  } else {
    return std::make_unique<T>(owner);
  }
}

using Maker = std::unique_ptr<TCommand> (*)(TComList*);

// Indexed by command id.
constexpr Maker kMakers[] = {
    Make<TComIf>,           Make<TComElseif>,     Make<TComElse>,      Make<TComLabel>,
    Make<TComJump>,         Make<TComCall>,       Make<TComExit>,      Make<TComWait>,
    Make<TComBoxNew>,       Make<TComImgNew>,     Make<TComMesNew>,    Make<TComTimer>,
    Make<TComMovie>,        Make<TComFlip>,       Make<TComCalc>,      Make<TComVarNew>,
    Make<TComVarDel>,       Make<TComGetProp>,    Make<TComSetProp>,   Make<TComObjDel>,
    Make<TComTextIns>,      Make<TComMovieStop>,  Make<TComClrHist>,   Make<TComCinema>,
    Make<TComCaption>,      Make<TComMenu>,       Make<TComMenuClose>, Make<TComComment>,
    Make<TComTextClr>,      Make<TComCallHist>,   Make<TComBtnNew>,    Make<TComWhile>,
    Make<TComWhileInit>,    Make<TComWhileLoop>,  Make<TComBreak>,     Make<TComContinue>,
    Make<TComParticleNew>,  Make<TComFireNew>,    Make<TComGameSave>,  Make<TComGameLoad>,
    Make<TComPCReset>,      Make<TComReset>,      Make<TComSound>,     Make<TComEditNew>,
    Make<TComMemoNew>,      Make<TComTerminate>,  Make<TComDoEvent>,   Make<TComClrRead>,
    Make<TComMapImgNew>,    Make<TComWaveNew>,    Make<TComTileNew>,   Make<TComSliderNew>,
    Make<TComScrollbarNew>, Make<TComGaugeNew>,   Make<TComCGCaption>, Make<TComMediaPlay>,
    Make<TComPrevMenuNew>,  Make<TComPropMotion>, Make<TComEntryHist>, Make<TComCabinetSave>,
    Make<TComCabinetLoad>,
};
static_assert(std::size(kMakers) == kCommandKindCount);

} // namespace

std::unique_ptr<TCommand> CreateCommand(TComList* owner, uint8_t kind_byte) {
  uint8_t id = kind_byte & 0x7F;
  if (id >= kCommandKindCount)
    throw ENovaErrorWithEnglish(ScriptText(TScriptText::InvalidCommand),
                                "Command kind " + std::to_string(id) + " is unknown.");
  std::unique_ptr<TCommand> command = kMakers[id](owner);
  command->kind_byte = kind_byte;
  return command;
}

} // namespace nova
