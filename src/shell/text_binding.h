// SPDX-License-Identifier: MIT
#pragma once
#include <filesystem>
#include <functional>
#include <memory>

namespace nova {

class ExprTextHost;
class TFormView;
class TParamCollection;
struct TPlayerHooks;

// The packed-font manager's answer to a title's ".nft" work file: true when it took the font.
// A damaged file throws its error, naming the file.
bool OfferPackedFont(const std::filesystem::path& file, const std::string& name);

// Binds the text stack into the shell's start-up: the title's packed fonts are installed as
// each archive (or the base folder) is added, "[Font] DefaultOnly" keeps the standard faces
// only, and `VAR` tags of texts evaluate against the title's variable table.
class TTextBinding final {
public:
  TTextBinding(TFormView& form, TPlayerHooks& hooks);
  ~TTextBinding();
  TTextBinding(const TTextBinding&) = delete;
  TTextBinding& operator=(const TTextBinding&) = delete;

  void SetVariablesSource(std::function<TParamCollection*()> source) {
    variables_ = std::move(source);
  }

private:
  void ReleaseExpressionHost();

  std::function<TParamCollection*()> variables_;
  std::unique_ptr<ExprTextHost> expressions_;
};

} // namespace nova
