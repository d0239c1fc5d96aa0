// SPDX-License-Identifier: MIT
#include "shell/text_binding.h"

#include "shell/font_install.h"
#include "shell/form_view.h"
#include "shell/player_hooks.h"
#include "text/expr_text_host.h"
#include "text/font_pixel_manager.h"
#include "text/pixel_font_manager.h"
#include "text/zpword.h"
#include "vfs/stream.h"
#include "vfs/vr_file_collection.h"
#include "vfs/vr_file_manager.h"

namespace nova {

namespace {

// The root entries of an archive the file manager has just opened.
class TArchiveFontSource final : public IFontSource {
public:
  explicit TArchiveFontSource(TVrFileCollection& archive) : archive_(archive) {}
  std::vector<std::string> RootEntries() override {
    std::vector<std::string> names;
    archive_.ListFolder("", names);
    return names;
  }
  void CopyEntry(const std::string& name, const std::filesystem::path& to) override {
    TMemoryStream data;
    archive_.ReadEntry(data, name, TPixelFontManager::kMaxFileBytes);
    data.SaveToFile(to.string());
  }

private:
  TVrFileCollection& archive_;
};

} // namespace

bool OfferPackedFont(const std::filesystem::path& file, const std::string& name) {
  return PixelFonts().Register(file.string(), name) != nullptr;
}

TTextBinding::TTextBinding(TFormView& form, TPlayerHooks& hooks) {
  hooks.offer_packed_font = OfferPackedFont;
  hooks.default_fonts_only = [] { FontPixels().KeepStandardFontsOnly(); };
  form.CreationSteps().Set("VrFileManager.Callbacks", [&form] {
    FileManager().SetOnArchiveAdded([&form](TVrFileCollection* archive) {
      if (archive) {
        TArchiveFontSource source(*archive);
        form.FontInstaller().Install(source);
      } else if (!FileManager().BaseFolder().empty()) {
        TFolderFontSource source(FileManager().BaseFolder());
        form.FontInstaller().Install(source);
      }
    });
  });
  form.CreationSteps().Set("SysFuncMan.Create", [this] {
    TParamCollection* vars = variables_ ? variables_() : nullptr;
    if (!vars)
      return;
    expressions_ = std::make_unique<ExprTextHost>(*vars);
    SetDefaultTextExpressionHost(expressions_.get());
  });
  form.ShutdownSteps().Set("SysFuncMan.Free", [this] { ReleaseExpressionHost(); });
}

TTextBinding::~TTextBinding() { ReleaseExpressionHost(); }

void TTextBinding::ReleaseExpressionHost() {
  if (expressions_ && DefaultTextExpressionHost() == expressions_.get())
    SetDefaultTextExpressionHost(nullptr);
  expressions_.reset();
}

} // namespace nova
