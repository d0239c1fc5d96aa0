// SPDX-License-Identifier: MIT
// Frame animation of multi-frame pictures and the layered-image kind.
#include "scene/kinds/custom_images.h"

#include <cmath>

#include "base/binary_reader.h"
#include "base/binary_writer.h"
#include "base/run_state.h"
#include "base/serializer.h"
#include "expr/params.h"
#include "graphics/dibx.h"
#include "scene/nova_motion.h"

namespace nova {
namespace {

// The file extension, upper-cased by the single-byte rule (".WSP").
std::string Extension(const std::string& file) {
  const size_t dot = file.rfind('.');
  if (dot == std::string::npos)
    return {};
  std::string ext = file.substr(dot);
  for (char& c : ext)
    if (c >= 'a' && c <= 'z')
      c = static_cast<char>(c - 'a' + 'A');
  return ext;
}

} // namespace

bool IsExtension(const std::string& file, const char* ext) { return Extension(file) == ext; }

int32_t TNovaCustomImages::LastFrameWait() {
  TParamCollection* vars = ServicesOf(owner_).images.vars;
  if (last_wait_.Empty() || !vars)
    return 0;
  last_wait_.Execute(*vars);
  return last_wait_.Result() ? last_wait_.Result()->AsInt() : 0;
}

void TNovaCustomImages::SetIndex(int32_t i) {
  if (i == frame_index_)
    return;
  // With a film the index is a seek by the film's 60 frames a second.
  if (motion_) {
    motion_->SetElapsed(std::trunc(i * 16.666666666666668));
    return;
  }
  TNovaImageList* list = GetFrameList();
  if (!list || !list->Frame(frame_index_))
    countdown_ = 0;
  else
    Invalidate();
  frame_index_ = i;
  TNovaImageData* data = list ? list->Frame(i) : nullptr;
  if (!data) {
    // A frame outside the list shows nothing.
    SetSubstituteSurface(nullptr);
    substitute_mask_ = nullptr;
    return;
  }
  data->SetBrightness(brightness_);
  SetSubstituteSurface(data->Surface());
  substitute_mask_ = data->Mask();
  key_color_ = data->KeyColor();
  countdown_ += data->DisplayTime();
  if (i == list->Count() - 1 && list->Count() > 1)
    countdown_ += LastFrameWait();
  SizeFromZoom();
}

void TNovaCustomImages::SetBrightness(int32_t b) {
  if (b == brightness_)
    return;
  brightness_ = b;
  TNovaImageList* list = GetFrameList();
  if (TNovaImageData* data = list ? list->Frame(frame_index_) : nullptr) {
    data->SetBrightness(b);
    SetSubstituteSurface(data->Surface());
    Invalidate();
  }
}

const std::vector<TRect>* TNovaCustomImages::VisibleRegions() const {
  TNovaImageList* list = GetFrameList();
  TNovaImageData* data = list ? list->Frame(frame_index_) : nullptr;
  return data ? &data->VisibleRegions() : nullptr;
}

const std::string& TNovaCustomImages::SharedFrameFile() const {
  TNovaImageList* list = GetFrameList();
  if (list && list->Frame(frame_index_) && substitute_surface_)
    return list->FileName();
  return TNovaCustomImage::SharedFrameFile();
}

bool TNovaCustomImages::Update() {
  if (TNovaCustomImage::Update())
    return true;
  TNovaImageList* list = GetFrameList();
  if (motion_ || !list || !list->Frame(frame_index_) || !Visible() || paused_ || ani_paused_)
    return false;
  if (countdown_ > 0)
    countdown_ -= RunState().FrameDelta;
  while (countdown_ < 1) {
    const int last = list->Count() - 1;
    if (frame_index_ < last) {
      // Two-frame animations drop the overshoot; longer ones carry it.
      if (list->Count() <= 2)
        countdown_ = 0;
      SetIndex(frame_index_ + 1);
      continue;
    }
    if (RepeatOn()) {
      countdown_ = 0;
      SetIndex(0);
    } else if (AutoScrap()) {
      return true;
    } else if (!PlayEndHandler().empty()) {
      QueueEvent(PR_ONPLAYEND, PlayEndHandler());
    }
    break;
  }
  return false;
}

bool TNovaCustomImages::Playing() const {
  if (motion_)
    return !motion_->Finished() && !paused_ && !ani_paused_;
  TNovaImageList* list = GetFrameList();
  const bool at_last = list && list->Count() > 0 && frame_index_ == list->Count() - 1;
  if (!RepeatOn() && at_last && countdown_ < 1)
    return false;
  return !paused_ && !ani_paused_;
}

bool TNovaCustomImages::ShowsAdjustedCopy() const {
  TNovaImageList* list = GetFrameList();
  TNovaImageData* data = list ? list->Frame(frame_index_) : nullptr;
  return data && data->IsAdjustedCopy(substitute_surface_);
}

bool CopyAdjustedPicture(const TNovaCustomImage& source, TDIBX& into) {
  const auto* frames = dynamic_cast<const TNovaCustomImages*>(&source);
  if (!frames || !frames->ShowsAdjustedCopy())
    return false;
  TCustomDIBX& pic = *source.GetSurface();
  into.SetSize(pic.Width(), pic.Height(), pic.BitCount());
  into.ResetClip();
  into.Draw(0, 0, FlipNone, TKeyMode::Ignore, pic.Bounds(), pic);
  into.SetTransparentColor(pic.TransparentColor());
  return true;
}

void TNovaCustomImages::ReleaseSurfaces() {
  TNovaCustomImage::ReleaseSurfaces();
  TNovaImageList* list = GetFrameList();
  if (!list)
    return;
  const bool adjusted = ShowsAdjustedCopy();
  list->ReleaseSurfaces();
  // The adjusted copy is gone: the plain frame stands in until the copy is made again.
  if (adjusted)
    substitute_surface_ = list->Frame(frame_index_)->Surface();
}

void TNovaCustomImages::RestoreSurfaces() {
  TNovaCustomImage::RestoreSurfaces();
  TNovaImageList* list = GetFrameList();
  if (!list)
    return;
  list->RestoreSurfaces();
  if (TNovaImageData* data = list->Frame(frame_index_))
    SetSubstituteSurface(data->Surface());
}

const TPropTable& TNovaCustomImages::Props() {
  using T = TNovaCustomImages;
  using namespace props;
  static constexpr std::array kRows{
      Stored<&T::frame_index_, &T::SetIndex>(PR_INDEX, pePicture),
      Custom<T>(
          PR_COUNT, peNone,
          [](const T& o) {
            TNovaImageList* list = o.GetFrameList();
            return TPropValue::Int(o.motion_ ? o.motion_->Film().FrameCount()
                                   : list    ? list->Count()
                                             : 0);
          },
          nullptr),
      Stored<&T::brightness_, &T::SetBrightness>(PR_BRIGHTNESS, pePicture),
      Flag<&T::paused_>(PR_PAUSED),
      Access<&T::Playing, nullptr>(PR_PLAYING, peNone),
  };
  static constexpr TPropTable kTable = MakePropTable(&TNovaCustomImage::Props, kRows);
  return kTable;
}

void TNovaCustomImages::SyncKind(TSerializer& s) {
  TNovaCustomImage::SyncKind(s);
  s.I32(countdown_);
  s.I32(frame_index_);
  s.I32(brightness_);
  s.U8(paused_);
  if (s.Saving())
    last_wait_.SaveOps(s.Writer());
  else
    last_wait_.LoadOps(s.Reader());
}

void TNovaCustomImages::RestoreShownFrame(int32_t index, int32_t countdown) {
  SetIndex(index);
  countdown_ = countdown;
}

TNovaImages::TNovaImages(TNovaBaseList* owner) : TNovaCustomImages(owner) {}

TNovaImageList* TNovaImages::GetFrameList() const {
  const int state = GetStateIndex();
  if (state < 0 || state >= GetStateCount())
    return nullptr;
  auto& lists = const_cast<std::vector<std::unique_ptr<TNovaImageList>>&>(lists_);
  if (lists.size() < static_cast<size_t>(GetStateCount()))
    lists.resize(GetStateCount());
  if (!lists[state])
    lists[state] = std::make_unique<TNovaImageList>();
  return lists[state].get();
}

void TNovaImages::SetSource(const std::string& file) {
  if (file == source_)
    return;
  source_ = file;
  frame_index_ = -1;
  SetSubstituteSurface(nullptr);
  substitute_mask_ = nullptr;
  TNovaImageList* list = GetFrameList();
  list->Clear();
  FreeMotion();
  if (IsExtension(file, ".WSP")) {
    list->Load(ServicesOf(owner_).images.cache, this, file);
  } else if (IsExtension(file, ".NMT")) {
    StartMotion(file);
    if (TNovaMotion* m = GetMotion()) {
      m->Advance(0);
      m->Restart();
    }
  } else {
    Invalidate();
    width_ = height_ = 0;
    PlacementChanged();
  }
  if (list->Count() > 0)
    SetIndex(0);
}

const TPropTable& TNovaImages::Props() {
  using T = TNovaImages;
  using namespace props;
  static constexpr std::array kRows{
      Stored<&T::source_, &T::SetSource>(PR_SOURCE, peGeometry),
      // Turning repeat on restarts a finished film, or shows the first frame again.
      Custom<T>(
          PR_REPEAT, pePicture, [](const T& o) { return TPropValue::Flag(o.repeat_ != 0); },
          [](T& o, const TPropValue& v) {
            const bool was = o.repeat_ != 0;
            o.repeat_ = v.f ? 1 : 0;
            if (!v.f || was)
              return;
            TNovaImageList* list = o.GetFrameList();
            if ((list && list->Frame(o.frame_index_)) || o.motion_) {
              if (o.motion_ && o.motion_->Finished())
                o.RestartMotion();
            } else {
              o.SetIndex(0);
            }
          }),
      Flag<&T::auto_scrap_>(PR_AUTOSCRAP),
      Field<&T::on_play_end_>(PR_ONPLAYEND),
      Field<&T::on_idle_>(PR_ONIDLE),
  };
  static constexpr TPropTable kTable = MakePropTable(&TNovaCustomImages::Props, kRows);
  return kTable;
}

void TNovaImages::SyncKind(TSerializer& s) {
  TNovaCustomImages::SyncKind(s);
  const int32_t index = frame_index_, countdown = countdown_;
  std::string source = source_;
  s.U8(repeat_);
  s.U8(auto_scrap_);
  s.String(source);
  s.String(on_play_end_);
  s.String(on_idle_, Since{104});
  if (s.Loading()) {
    frame_index_ = -1;
    SetSource(source);
    RestoreShownFrame(index, countdown);
  }
}

} // namespace nova
