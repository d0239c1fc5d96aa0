// SPDX-License-Identifier: MIT
// What a scene's components draw on from outside the scene: media, films, the image cache and
// variables, a network client and edit windows. The scene owns one set; its components reach
// it through their owner, and a cinema's private scene shares its host's set. Anything left
// empty has a quiet default: no media plays, no picture loads, a request ends at once with an
// empty body, edit fields keep their text in memory, no motion starts.
#pragma once
#include <functional>
#include <memory>
#include <string>

namespace nova {

class ICinemaFilm;
class IEditWindow;
class IEditWindowListener;
class IMediaLibrary;
class IMessageTextObserver;
class IMotionFilm;
class TNovaBaseList;
class TNovaControl;
class TParamCollection;
class TWispCollection;

using TCinemaFilmLoader =
    std::function<std::unique_ptr<ICinemaFilm>(const std::string& file, int32_t volume)>;

// What sounds, videos and cinemas play from; empty services play nothing.
struct TMediaServices {
  IMediaLibrary* library = nullptr;
  TCinemaFilmLoader films;
};

// What image components draw from and evaluate against; without a cache no picture loads.
struct TImageServices {
  TWispCollection* cache = nullptr;
  TParamCollection* vars = nullptr;
};

// Performs one GET (through the proxy "host:port" when it is not empty) and answers the body;
// runs on the request thread and must not touch the scene. Errors give an empty body.
using THttpGet = std::function<std::string(const std::string& url, const std::string& proxy)>;

// Makes the window of an edit (multi_line false) or memo.
using TEditWindowFactory =
    std::function<std::unique_ptr<IEditWindow>(bool multi_line, IEditWindowListener& listener)>;

// Opens the film named by a title file for a control; null when it cannot be loaded.
using TMotionFilmLoader =
    std::function<std::unique_ptr<IMotionFilm>(TNovaControl& control, const std::string& file)>;

struct TSceneServices {
  TMediaServices media;
  TImageServices images;
  THttpGet http_get;
  TEditWindowFactory edit_windows;
  TMotionFilmLoader motion_films;
  IMessageTextObserver* message_text = nullptr; // told of every page the boxes reveal
};

// The services of a component's owner; the empty set for a component without one.
const TSceneServices& ServicesOf(const TNovaBaseList* owner);

} // namespace nova
