// SPDX-License-Identifier: MIT
#pragma once
#include <vector>

#include "script/commands/simple_command.h"
#include "script/mask.h"

namespace nova {

// A command that carries property expressions: which ones is decided at construction from its
// page's mask entry for its kind; its record holds exactly those, in ascending id order.
class TComponentCommand : public TCommand {
public:
  TComponentCommand(TComList* owner, const TPropMask& mask);
  void Fields(TFieldVisitor& v) override { v.Props(props); }
  TPropExprs props;
};

template <TCommandId Kind> class TCreateCommand : public TComponentCommand {
public:
  using TComponentCommand::TComponentCommand;
  static constexpr TCommandId kId = Kind;
  TCommandId Id() const override { return Kind; }
};

// clang-format off
class TComBoxNew final : public TCreateCommand<TCommandId::BoxNew> { using TCreateCommand::TCreateCommand; };
class TComImgNew final : public TCreateCommand<TCommandId::ImgNew> { using TCreateCommand::TCreateCommand; };
class TComMesNew final : public TCreateCommand<TCommandId::MesNew> { using TCreateCommand::TCreateCommand; };
class TComTimer final : public TCreateCommand<TCommandId::Timer> { using TCreateCommand::TCreateCommand; };
class TComMovie final : public TCreateCommand<TCommandId::Movie> { using TCreateCommand::TCreateCommand; };
class TComCinema final : public TCreateCommand<TCommandId::Cinema> { using TCreateCommand::TCreateCommand; };
class TComCaption final : public TCreateCommand<TCommandId::Caption> { using TCreateCommand::TCreateCommand; };
class TComMenu final : public TCreateCommand<TCommandId::Menu> { using TCreateCommand::TCreateCommand; };
class TComBtnNew final : public TCreateCommand<TCommandId::Button> { using TCreateCommand::TCreateCommand; };
class TComParticleNew final : public TCreateCommand<TCommandId::ParticleNew> { using TCreateCommand::TCreateCommand; };
class TComFireNew final : public TCreateCommand<TCommandId::FireNew> { using TCreateCommand::TCreateCommand; };
class TComSound final : public TCreateCommand<TCommandId::Sound> { using TCreateCommand::TCreateCommand; };
class TComEditNew final : public TCreateCommand<TCommandId::EditNew> { using TCreateCommand::TCreateCommand; };
class TComMemoNew final : public TCreateCommand<TCommandId::MemoNew> { using TCreateCommand::TCreateCommand; };
class TComMapImgNew final : public TCreateCommand<TCommandId::MapImgNew> { using TCreateCommand::TCreateCommand; };
class TComWaveNew final : public TCreateCommand<TCommandId::WaveNew> { using TCreateCommand::TCreateCommand; };
class TComTileNew final : public TCreateCommand<TCommandId::TileNew> { using TCreateCommand::TCreateCommand; };
class TComSliderNew final : public TCreateCommand<TCommandId::SliderNew> { using TCreateCommand::TCreateCommand; };
class TComScrollbarNew final : public TCreateCommand<TCommandId::ScrollbarNew> { using TCreateCommand::TCreateCommand; };
class TComGaugeNew final : public TCreateCommand<TCommandId::GaugeNew> { using TCreateCommand::TCreateCommand; };
class TComCGCaption final : public TCreateCommand<TCommandId::CGCaption> { using TCreateCommand::TCreateCommand; };
class TComPrevMenuNew final : public TCreateCommand<TCommandId::PrevMenuNew> { using TCreateCommand::TCreateCommand; };
// clang-format on

// SaveCabinet and LoadCabinet: the cabinet's property expressions (its name is PR_NAME), then
// an invert flag and the list of component names that move.
template <TCommandId Kind> class TCabinetCommand : public TCreateCommand<Kind> {
public:
  using TCreateCommand<Kind>::TCreateCommand;
  void Fields(TFieldVisitor& v) override {
    v.Props(this->props);
    v.Expr("invert", invert);
    v.ExprList("names", names);
  }
  TCommandExpr invert;
  std::vector<TCommandExpr> names;
};

class TComCabinetSave final : public TCabinetCommand<TCommandId::SaveCabinet> {
public:
  using TCabinetCommand::TCabinetCommand;
};

class TComCabinetLoad final : public TCabinetCommand<TCommandId::LoadCabinet> {
public:
  using TCabinetCommand::TCabinetCommand;
};

} // namespace nova
