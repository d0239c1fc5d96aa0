// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "text/decorate.h"
#include "text/text_surfaces.h"

namespace nova {

class TZpWord;
class TWdRow;

// Kind ids as the glyph-list stream stores them.
enum GlyphKind : uint8_t {
  kKindBase = 0,
  kKindChar = 1,
  kKindAlign = 2,
  kKindReturn = 3,
  kKindIndent = 4,
  kKindUndent = 5,
  kKindEvent = 6,
  kKindVar = 7,
  kKindImg = 9,
  kKindHistChar = 10,
  kKindSpace = 0x80, // layout only, never stored
};

// Alignment values of DIV and IMG.
enum : uint8_t {
  kAlignLeft = 1,
  kAlignRight = 2,
  kAlignCenter = 3,
  kAlignTop = 4,
  kAlignBottom = 5
};

// Base of every glyph: a box relative to its row after layout.
class TWdGlyph {
public:
  explicit TWdGlyph(TZpWord* owner) : owner_(owner) {}
  virtual ~TWdGlyph() = default;
  TWdGlyph(const TWdGlyph&) = delete;
  TWdGlyph& operator=(const TWdGlyph&) = delete;

  virtual GlyphKind Kind() const = 0;
  // 1 for what the parser or loader makes, 0 for products of variable expansion.
  virtual int CharCount() const { return 1; }
  // Character code for line breaking; 0 for operations and images.
  virtual uint16_t Code() const { return 0; }
  virtual bool NoBreak() const { return false; }
  virtual const std::string& Ruby() const;
  virtual const std::string& Link() const;
  virtual int Alpha() const { return 255; }
  virtual void SetAlpha(int) {}
  // Milliseconds before the next glyph is shown.
  virtual int Wait() const { return 0; }
  virtual bool IsLineBreak() const { return false; }
  virtual bool IsVisible() const { return false; } // characters and images
  // One or two bytes of the code; empty for operations.
  virtual std::string CharText() const { return {}; }
  // Text for copying: "\r\n" for a line break.
  virtual std::string PlainText() const { return {}; }

  TZpWord* owner() const { return owner_; }
  int x = 0, y = 0, width = 0, height = 0;
  TWdRow* row = nullptr;

private:
  TZpWord* owner_;
};

// Something visible: link, hover state, alpha, wait and fade-out.
class TWdReal : public TWdGlyph {
public:
  using TWdGlyph::TWdGlyph;
  const std::string& Link() const override { return link; }
  int Alpha() const override { return alpha_; }
  void SetAlpha(int a) override { alpha_ = a < 0 ? 0 : a > 255 ? 255 : a; }
  int Wait() const override { return wait; }
  bool IsVisible() const override { return true; }

  std::string link;
  uint8_t hover = 0;
  int32_t wait = 0;
  int fade_duration = 0, fade_elapsed = 0, fade_start_alpha = 0;
  TextRect drawn; // rectangle touched on the work surfaces

private:
  int alpha_ = 255;
};

// One character with its decoration.
class TWdChar : public TWdReal {
public:
  using TWdReal::TWdReal;
  ~TWdChar() override;
  GlyphKind Kind() const override { return kKindChar; }
  uint16_t Code() const override { return code; }
  bool NoBreak() const override { return decorate && decorate->no_break; }
  const std::string& Ruby() const override;
  std::string CharText() const override;
  std::string PlainText() const override { return CharText(); }
  // Gives the glyph a decoration through the owner's interning table.
  void SetDecoration(const TDecorate& values);

  uint16_t code = 0;
  TDecorate* decorate = nullptr;
};

// A character inserted by variable expansion; never stored.
class TWdVarChar : public TWdChar {
public:
  using TWdChar::TWdChar;
  int CharCount() const override { return 0; }
  bool first_of_var = false; // draws the ruby of its run whatever precedes it
};

// An inline image.
class TWdImg : public TWdReal {
public:
  using TWdReal::TWdReal;
  GlyphKind Kind() const override { return kKindImg; }
  bool NoBreak() const override { return no_break; }
  const std::string& Ruby() const override { return ruby; }
  std::string PlainText() const override { return "*"; }

  std::string file_name;
  uint8_t valign = kAlignBottom;
  bool no_break = false;
  std::string ruby;

  // Animation of a picture of several frames (times from the image host at layout): frames
  // follow each other by their display times and start over after the last.
  bool IsAnimated() const { return frame_times.size() > 1; }
  void StartAnimation();
  void StopAnimation() { StartAnimation(); }
  // Advances by `elapsed_ms`; true when another frame is now shown.
  bool AnimationStep(int elapsed_ms);
  std::vector<int> frame_times;
  int frame = 0;
  int countdown_ms = 0;
};

class TWdOpeAlign : public TWdGlyph {
public:
  using TWdGlyph::TWdGlyph;
  GlyphKind Kind() const override { return kKindAlign; }
  uint8_t align = kAlignLeft;
};

class TWdOpeReturn : public TWdGlyph {
public:
  using TWdGlyph::TWdGlyph;
  GlyphKind Kind() const override { return kKindReturn; }
  bool IsLineBreak() const override { return true; }
  std::string PlainText() const override { return "\r\n"; }
  bool clear = false;
};

// A line break inserted by variable expansion; never clears and is never stored.
class TWdVarReturn : public TWdOpeReturn {
public:
  using TWdOpeReturn::TWdOpeReturn;
  int CharCount() const override { return 0; }
};

class TWdOpeIndent : public TWdGlyph {
public:
  using TWdGlyph::TWdGlyph;
  GlyphKind Kind() const override { return kKindIndent; }
};

class TWdOpeUndent : public TWdGlyph {
public:
  using TWdGlyph::TWdGlyph;
  GlyphKind Kind() const override { return kKindUndent; }
};

class TWdOpeEvent : public TWdGlyph {
public:
  using TWdGlyph::TWdGlyph;
  GlyphKind Kind() const override { return kKindEvent; }
  int Wait() const override { return end ? 1 : 0; }
  std::string value;
  bool end = false;
};

// An expression shown as text; expanded into TWdVarChar / TWdVarReturn glyphs at display time.
class TWdOpeVar : public TWdGlyph {
public:
  using TWdGlyph::TWdGlyph;
  ~TWdOpeVar() override;
  GlyphKind Kind() const override { return kKindVar; }
  const std::string& Link() const override { return link; }
  int Wait() const override { return wait; }
  void SetDecoration(const TDecorate& values);

  std::string source;            // expression text; empty when loaded in compiled form
  std::vector<uint8_t> compiled; // the stored operation list of old streams
  TDecorate* decorate = nullptr;
  std::string link;
  int32_t wait = 0;
  std::vector<TWdGlyph*> inserted; // owned by the glyph list
};

// Like TWdOpeVar, expanded only in the history.
class TWdOpeHistChar : public TWdOpeVar {
public:
  using TWdOpeVar::TWdOpeVar;
  GlyphKind Kind() const override { return kKindHistChar; }
};

// An empty box that layout puts before an indented row; never stored.
class TWdSpace : public TWdGlyph {
public:
  using TWdGlyph::TWdGlyph;
  GlyphKind Kind() const override { return kKindSpace; }
  int CharCount() const override { return 0; }
};

// The glyph factory by stored kind (only the low 7 bits count); nullptr for unknown kinds.
std::unique_ptr<TWdGlyph> CreateGlyphOfKind(TZpWord* owner, uint8_t kind);

} // namespace nova
