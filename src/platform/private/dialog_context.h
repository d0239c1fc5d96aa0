// SPDX-License-Identifier: MIT
#pragma once
#include <functional>

#include "platform/dialog_host.h"

struct ImGuiContext;

namespace nova {

// An ImGui context for a dialog: no settings file, a light style, and the Japanese UI font
// (rasterised by FreeType) holding the characters of the dialog's texts. The font atlas is
// built before it returns. Destroyed with ImGui::DestroyContext.
ImGuiContext* CreateDialogContext(const TDialogLayout& layout);

// One dialog frame between NewFrame and Render: `frame` inside a window filling the client.
bool RunDialogFrame(const TDialogLayout& layout, const std::function<bool()>& frame);

} // namespace nova
