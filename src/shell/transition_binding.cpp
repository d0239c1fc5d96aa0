// SPDX-License-Identifier: MIT
#include "shell/transition_binding.h"

#include "graphics/image_cache.h"
#include "graphics/wipe_custom.h"
#include "vfs/vr_file_manager.h"

namespace nova {
namespace {

class TWipeTransition final : public ISceneTransition {
public:
  TWipeTransition(std::unique_ptr<TCustomWipe> wipe, TVrFileManager& files, TWispCollection* images)
      : wipe_(std::move(wipe)), files_(files), images_(images) {}
  ~TWipeTransition() override { ReleasePicture(); }
  TWipeTransition(const TWipeTransition&) = delete;
  TWipeTransition& operator=(const TWipeTransition&) = delete;

  int32_t Duration() const override { return wipe_->duration; }
  void SetDuration(int32_t ms) override { wipe_->duration = ms; }
  void SetStep(int32_t elapsed_ms) override { wipe_->elapsed = elapsed_ms; }

  void Start(const TTransitionOptions& options) override {
    wipe_->SetReverse(options.reverse);
    if (options.param0)
      wipe_->SetParam(0, *options.param0);
    if (options.param1)
      wipe_->SetParam(1, *options.param1);
    if (options.mask_name)
      wipe_->SetMaskName(*options.mask_name);
    wipe_->SetPictureSource([this](const std::string& name) -> TCustomDIBX* {
      // The cache answers a missing file with a stand-in; the mask kinds want to know.
      if (!images_ || !files_.Exists(name))
        return nullptr;
      ReleasePicture();
      picture_ = images_->Get(this, name);
      return picture_ && picture_->Count() > 0 ? &picture_->Frame(0).surface : nullptr;
    });
    try {
      wipe_->Prepare();
    } catch (...) {
      // A damaged mask picture ends the command; the transition draws nothing meanwhile.
      failed_ = true;
      ReleasePicture();
      throw;
    }
    // The grey map is made; the picture is no longer needed.
    ReleasePicture();
    wipe_->SetPictureSource({});
  }

  TSceneRect Draw() override {
    if (failed_ || wipe_->Step())
      return {};
    const TRect r = wipe_->Touched();
    return {r.Left, r.Top, r.Right, r.Bottom};
  }

private:
  void ReleasePicture() {
    if (picture_ && images_)
      images_->Release(this, picture_);
    picture_ = nullptr;
  }

  std::unique_ptr<TCustomWipe> wipe_;
  TVrFileManager& files_;
  TWispCollection* images_;
  TWispItem* picture_ = nullptr;
  bool failed_ = false;
};

} // namespace

TTransitionFactory MakeTransitionFactory(TVrFileManager& files, TWispCollection* images) {
  return [&files, images](int kind, TCustomDIBX& screen, TCustomDIBX& front,
                          TCustomDIBX& back) -> std::unique_ptr<ISceneTransition> {
    // The front layer holds the outgoing picture, the back layer the incoming one.
    std::unique_ptr<TCustomWipe> wipe = CreateWipe(kind, screen, front, back);
    if (!wipe)
      return nullptr;
    return std::make_unique<TWipeTransition>(std::move(wipe), files, images);
  };
}

} // namespace nova
