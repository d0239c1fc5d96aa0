// SPDX-License-Identifier: MIT
#include "platform/input_script.h"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <sstream>

#include "base/nova_error.h"
#include "base/regular_file.h"
#include "base/sjis.h"

namespace nova {

namespace {

constexpr size_t kMaxScriptBytes = 64 << 20;

struct TParseError {
  std::string what;
};

class TLineReader {
public:
  explicit TLineReader(const std::string& line) : in_(line) {}
  std::string Word() {
    std::string w;
    if (!(in_ >> w))
      throw TParseError{"missing field"};
    return w;
  }
  int Int(int lo, int hi) {
    const std::string w = Word();
    int v = 0;
    auto [end, ec] = std::from_chars(w.data(), w.data() + w.size(), v);
    if (ec != std::errc() || end != w.data() + w.size() || v < lo || v > hi)
      throw TParseError{"bad number \"" + w + "\""};
    return v;
  }
  // The rest of the line: quoted with escapes, or as it stands without the leading blank.
  std::string Rest() {
    std::string rest;
    std::getline(in_, rest);
    const size_t start = rest.find_first_not_of(" \t");
    rest = start == std::string::npos ? std::string() : rest.substr(start);
    while (!rest.empty() && (rest.back() == '\r' || rest.back() == ' ' || rest.back() == '\t'))
      rest.pop_back();
    if (rest.size() < 2 || rest.front() != '"' || rest.back() != '"')
      return rest;
    std::string out;
    for (size_t i = 1; i + 1 < rest.size(); ++i) {
      if (rest[i] != '\\' || i + 2 >= rest.size()) {
        out.push_back(rest[i]);
        continue;
      }
      const char c = rest[++i];
      out.push_back(c == 'n' ? '\n' : c);
    }
    return out;
  }
  void End() {
    std::string rest;
    if (in_ >> rest)
      throw TParseError{"unexpected \"" + rest + "\""};
  }

private:
  std::istringstream in_;
};

constexpr int kMaxCoord = 1 << 20;

TMouseButton Button(const std::string& w) {
  if (w == "left")
    return TMouseButton::Left;
  if (w == "right")
    return TMouseButton::Right;
  if (w == "middle")
    return TMouseButton::Middle;
  throw TParseError{"bad button \"" + w + "\""};
}

const char* ButtonName(TMouseButton b) {
  return b == TMouseButton::Left ? "left" : b == TMouseButton::Right ? "right" : "middle";
}

TStampedEvent ParseLine(const std::string& line) {
  TLineReader in(line);
  TStampedEvent s;
  s.frame = static_cast<uint32_t>(in.Int(0, 0x7FFFFFFF));
  const std::string kind = in.Word();
  TWindowEvent& e = s.event;
  if (kind == "keydown" || kind == "keyup") {
    e.kind = kind == "keydown" ? TWindowEventKind::KeyDown : TWindowEventKind::KeyUp;
    e.key = in.Int(0, 255);
  } else if (kind == "move") {
    e.kind = TWindowEventKind::MouseMove;
    e.x = in.Int(-kMaxCoord, kMaxCoord);
    e.y = in.Int(-kMaxCoord, kMaxCoord);
  } else if (kind == "mousedown" || kind == "mouseup") {
    e.kind = kind == "mousedown" ? TWindowEventKind::MouseDown : TWindowEventKind::MouseUp;
    e.button = Button(in.Word());
    e.x = in.Int(-kMaxCoord, kMaxCoord);
    e.y = in.Int(-kMaxCoord, kMaxCoord);
  } else if (kind == "wheel") {
    e.kind = TWindowEventKind::Wheel;
    const std::string dir = in.Word();
    if (dir != "up" && dir != "down")
      throw TParseError{"bad wheel direction \"" + dir + "\""};
    e.wheel_up = dir == "up";
  } else if (kind == "dock") {
    e.kind = TWindowEventKind::DockButton;
    const std::string which = in.Word();
    if (which != "quit" && which != "switch")
      throw TParseError{"bad dock button \"" + which + "\""};
    e.dock = which == "quit" ? TDockButton::Quit : TDockButton::ScreenSwitch;
  } else if (kind == "text" || kind == "compose") {
    e.kind = kind == "text" ? TWindowEventKind::TextInput : TWindowEventKind::Composition;
    e.text = in.Rest();
    if (e.kind == TWindowEventKind::TextInput && e.text.empty())
      throw TParseError{"missing text"};
  } else if (kind == "close") {
    e.kind = TWindowEventKind::Close;
  } else if (kind == "activate") {
    e.kind = TWindowEventKind::Activate;
  } else if (kind == "deactivate") {
    e.kind = TWindowEventKind::Deactivate;
  } else {
    throw TParseError{"unknown event \"" + kind + "\""};
  }
  e.client_y = e.y;
  in.End();
  return s;
}

} // namespace

std::vector<TStampedEvent> ParseInputScript(const std::string& text, const std::string& file_name) {
  std::vector<TStampedEvent> events;
  std::istringstream in(text);
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    // Typed text may hold '#': a comment starts only before the event's text.
    std::istringstream words(line);
    std::string frame, kind;
    words >> frame >> kind;
    const size_t hash = line.find('#');
    if (hash != std::string::npos && kind != "text" && kind != "compose")
      line.resize(hash);
    if (line.find_first_not_of(" \t\r") == std::string::npos)
      continue;
    try {
      events.push_back(ParseLine(line));
    } catch (const TParseError& e) {
      throw ENovaError(Utf8ToSjis(file_name + ": line " + std::to_string(number) + ": " + e.what));
    }
  }
  std::stable_sort(
      events.begin(), events.end(),
      [](const TStampedEvent& a, const TStampedEvent& b) { return a.frame < b.frame; });
  return events;
}

std::vector<TStampedEvent> LoadInputScript(const std::filesystem::path& path) {
  std::string error;
  const std::optional<std::string> text = ReadRegularFile(path, kMaxScriptBytes, &error);
  if (!text)
    throw ENovaError(Utf8ToSjis("cannot read input script " + path.string() + ": " + error));
  return ParseInputScript(*text, path.string());
}

std::string FormatInputEvent(const TStampedEvent& stamped) {
  const TWindowEvent& e = stamped.event;
  std::string out = std::to_string(stamped.frame) + " ";
  auto xy = [&] { return std::to_string(e.x) + " " + std::to_string(e.y); };
  switch (e.kind) {
  case TWindowEventKind::KeyDown:
    return out + "keydown " + std::to_string(e.key);
  case TWindowEventKind::KeyUp:
    return out + "keyup " + std::to_string(e.key);
  case TWindowEventKind::MouseMove:
    return out + "move " + xy();
  case TWindowEventKind::MouseDown:
    return out + "mousedown " + ButtonName(e.button) + " " + xy();
  case TWindowEventKind::MouseUp:
    return out + "mouseup " + ButtonName(e.button) + " " + xy();
  case TWindowEventKind::Wheel:
    return out + "wheel " + (e.wheel_up ? "up" : "down");
  case TWindowEventKind::DockButton:
    return out + "dock " + (e.dock == TDockButton::Quit ? "quit" : "switch");
  case TWindowEventKind::Close:
    return out + "close";
  case TWindowEventKind::Activate:
    return out + "activate";
  case TWindowEventKind::Deactivate:
    return out + "deactivate";
  case TWindowEventKind::TextInput:
  case TWindowEventKind::Composition: {
    std::string quoted = "\"";
    for (char c : e.text) {
      if (c == '"' || c == '\\')
        quoted.push_back('\\');
      if (c == '\n')
        quoted += "\\n";
      else
        quoted.push_back(c);
    }
    return out + (e.kind == TWindowEventKind::TextInput ? "text " : "compose ") + quoted + "\"";
  }
  case TWindowEventKind::Wake:
    break;
  }
  return {};
}

bool TInputReplay::Next(uint32_t frame, TWindowEvent& event) {
  if (next_ >= events_.size() || events_[next_].frame > frame)
    return false;
  event = events_[next_++].event;
  return true;
}

TInputRecorder::TInputRecorder(const std::filesystem::path& path)
    : file_(std::fopen(path.c_str(), "w")) {
  if (!file_)
    throw ENovaError(Utf8ToSjis("cannot create the record file " + path.string()));
  std::fputs("# novaplay input record: <frame> <event> ...\n", file_);
}

TInputRecorder::~TInputRecorder() { std::fclose(file_); }

void TInputRecorder::Record(uint32_t frame, const TWindowEvent& event) {
  // Auto-repeats are the keyboard's, not the user's; replay makes its own.
  if (event.kind == TWindowEventKind::KeyDown && event.repeat)
    return;
  const std::string line = FormatInputEvent({frame, event});
  if (line.empty())
    return;
  std::fprintf(file_, "%s\n", line.c_str());
  std::fflush(file_);
}

} // namespace nova
