// SPDX-License-Identifier: MIT
// Every component class of the scene, each kind in its own files.
#pragma once
#include <memory>

#include "scene/kinds/cinema.h"
#include "scene/kinds/custom_images.h"
#include "scene/kinds/edit.h"
#include "scene/kinds/gauge.h"
#include "scene/kinds/http.h"
#include "scene/kinds/label_kinds.h"
#include "scene/kinds/map_image.h"
#include "scene/kinds/media_kinds.h"
#include "scene/kinds/nova_box.h"
#include "scene/kinds/nova_button.h"
#include "scene/kinds/nova_menu.h"
#include "scene/kinds/nova_mes.h"
#include "scene/kinds/particle_kinds.h"
#include "scene/kinds/prev_menu.h"
#include "scene/kinds/slider.h"
#include "scene/kinds/timer_kinds.h"
#include "scene/nova_object.h"
