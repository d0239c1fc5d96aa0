// SPDX-License-Identifier: MIT
// A visual component: rectangle, children, placement arithmetic, mouse and key handlers.
#pragma once
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "scene/nova_object.h"

namespace nova {

class TCustomDIBX;
class TNovaBase;
class TNovaMotion;

// Handler strings of every control, in the order they are stored.
enum TControlHandler : uint8_t {
  chMouseMove,
  chMouseIn,
  chMouseOut,
  chLBtnDown,
  chLBtnUp,
  chRBtnDown,
  chRBtnUp,
  chWheelDown,
  chWheelUp,
  chKeyDown,
  chKeyUp,
  chKeyRepeat,
  chFocusIn,
  chFocusOut,
  kControlHandlerCount
};

class TNovaControl : public TNovaComponent {
public:
  ~TNovaControl() override;
  TNovaControl* AsControl() override { return this; }
  const TNovaControl* AsControl() const override { return this; }
  virtual bool IsLayer() const { return false; }
  virtual bool IsCabinet() const { return false; }

  void SetName(const std::string& name) override;

  // Geometry.
  int32_t Left() const { return left_; }
  int32_t Top() const { return top_; }
  virtual int32_t GetWidth() const { return width_; }
  virtual int32_t GetHeight() const { return height_; }
  int32_t AnchorX() const { return anchor_x_; }
  int32_t AnchorY() const { return anchor_y_; }
  void SetLeft(int32_t v);
  void SetTop(int32_t v);
  virtual void SetWidth(int32_t v);
  virtual void SetHeight(int32_t v);
  void SetAnchorX(int32_t v);
  void SetAnchorY(int32_t v);
  void SetPlusX(int32_t v);
  void SetPlusY(int32_t v);
  void SetMotionX(int32_t v);
  void SetMotionY(int32_t v);
  int32_t MotionX() const { return motion_x_; }
  int32_t MotionY() const { return motion_y_; }
  void SetBounds(int32_t left, int32_t top, int32_t width, int32_t height);
  void SetClip(TNovaProp which, int32_t v);
  int32_t Clip(TNovaProp which) const;
  virtual void SetColor(int32_t color);
  int32_t Color() const { return color_; }
  bool Visible() const { return visible_ != 0; }
  void SetVisible(bool v);
  void SetPosZoomed(bool v);
  uint8_t IgnoreMouse() const { return ignore_mouse_; }
  bool HandleKey() const { return handle_key_ != 0; }
  bool AniPaused() const { return ani_paused_ != 0; }
  const std::string& Handler(TControlHandler h) const { return handlers_[h]; }
  void SetHandler(TControlHandler h, std::string v) { handlers_[h] = std::move(v); }
  TSceneRect Reserved() const { return reserved_; }
  void SetReserved(TSceneRect r) { reserved_ = r; }
  bool GetMarked() const { return marked_ != 0; }
  void SetMarked(bool m) { marked_ = m ? 1 : 0; }

  // Placement (zoom, anchor, flip, parent offset and scroll, motion, plus).
  virtual int32_t ZoomX() const { return 256; }
  virtual int32_t ZoomY() const { return 256; }
  virtual bool FlipH() const { return false; }
  virtual bool FlipV() const { return false; }
  virtual int32_t ScrollX() const { return 0; }
  virtual int32_t ScrollY() const { return 0; }
  // The size of the component's own image surface; false for kinds without one.
  virtual bool ImageSurfaceSize(int32_t& w, int32_t& h) const { return false; }
  // True for kinds placed at left/top (or the motion's place) in their parent's scrolled area,
  // without anchor, zoom, flip or plus terms (tiles).
  virtual bool PlacedPlain() const { return false; }
  int32_t ScreenLeft() const;
  int32_t ScreenTop() const;
  int32_t LeftInParent() const;
  int32_t TopInParent() const;
  void AnchorOnScreen(int32_t& x, int32_t& y) const;
  TSceneRect ScreenBounds() const;
  // Empty when clip width or height is below 1.
  TSceneRect ScreenClip() const;
  virtual TSceneRect GetHitRect() const { return ScreenBounds(); }
  bool ClipToVisible(TSceneRect& r) const;
  void ClientToScreen(int32_t& x, int32_t& y) const;
  void ScreenToClient(int32_t& x, int32_t& y) const;

  // Tree.
  TNovaControl* Parent() const { return parent_; }
  int GetChildCount() const { return static_cast<int>(children_.size()); }
  TNovaControl* GetChild(int i) const;
  const std::vector<TNovaControl*>& Children() const { return children_; }
  // Ignores a parent that is this control or one of its descendants.
  void SetParent(TNovaControl* p);
  bool IsAncestorOf(const TNovaControl* c) const;
  void SortChildren();
  // The layer at the root of the parent chain; a layer answers itself.
  TNovaBase* GetBase() const;
  bool IsInCabinet() const override;
  bool IsShown() const;
  // Afterimages of pictures order among themselves by alpha and below their source.
  virtual const TNovaControl* AfterimageSource() const { return nullptr; }
  virtual bool IsAfterimage() const { return false; }
  virtual int32_t AlphaForOrder() const { return 0; }

  // Drawing.
  virtual void Invalidate();
  // Passes a changed rectangle up the parent chain.
  virtual void ContentChanged(const TSceneRect& r);
  virtual TCustomDIBX* GetTargetSurface() const;
  // Draws the control (each kind) and then its children under the surface clip.
  virtual void Draw();
  void DrawChildren();
  // Where a child may draw: its hit rectangle within its clip; empty when it draws nothing.
  static TSceneRect ChildArea(const TNovaControl& child);
  virtual void PositionChanged();
  virtual void ClipChanged();
  // Drops the kept screen place of this control and its subtree. The setters and Invalidate
  // call it; kinds that write placement fields directly (or anything the placement getters
  // read) call it afterwards.
  void PlacementChanged();

  // Input.
  virtual TNovaControl* HitTest(int32_t x, int32_t y, uint32_t accept_set);
  virtual void LButtonDown();
  virtual void LButtonUp();
  virtual void RButtonDown();
  virtual void RButtonUp();
  virtual void MouseMove();
  virtual void MouseIn(TNovaControl* previous);
  virtual void MouseOut(TNovaControl* next);
  virtual void MouseTick() {}
  virtual TNovaControl* FindFocusable();
  virtual void KeyDownEvent(const std::vector<std::string>& keys);
  virtual void KeyUpEvent(const std::vector<std::string>& keys);
  virtual void KeyRepeatEvent(const std::vector<std::string>& keys);
  virtual void FocusGained() {}
  virtual std::string GetCursorFile() const { return cursor_; }
  virtual void EnterCabinet() {}
  virtual void LeaveCabinet() {}

  // Motion films.
  TNovaMotion* GetMotion() const { return motion_.get(); }
  void StartMotion(const std::string& file);
  void RestartMotion();
  void FreeMotion();
  bool Update() override;

  const TPropTable& PropTable() const override { return Props(); }

protected:
  explicit TNovaControl(TNovaBaseList* owner);

  static const TPropTable& Props();
  void SyncControl(TSerializer& s) override;
  // The play-end handler and auto-scrap flag of kinds that have them (motion end).
  virtual bool AutoScrap() const { return false; }
  virtual const std::string& PlayEndHandler() const;

  int32_t left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  int32_t anchor_x_ = 0, anchor_y_ = 0;
  uint8_t visible_ = 1;
  TNovaControl* parent_ = nullptr;
  int32_t color_ = 0;
  std::vector<TNovaControl*> children_;
  TSceneRect reserved_{0, 0, 1, 1};
  std::array<std::string, kControlHandlerCount> handlers_;
  uint8_t ignore_mouse_ = IM_NONE;
  std::string cursor_;
  uint8_t pos_zoomed_ = 0;
  uint8_t marked_ = 0;
  int32_t clip_left_ = 0, clip_top_ = 0, clip_width_ = 0, clip_height_ = 0;
  int32_t motion_x_ = 0, motion_y_ = 0;
  int32_t plus_x_ = 0, plus_y_ = 0;
  uint8_t ani_paused_ = 0;
  uint8_t handle_key_ = 0;
  std::unique_ptr<TNovaMotion> motion_;

private:
  friend class TNovaBaseList;
  // The children in the persistent form; loading makes them by kind.
  void SyncChildren(TSerializer& s);
  // Placement along one axis; see ScreenLeft.
  int32_t ScreenPos(bool vertical) const;
  int32_t AnchorTerm(bool vertical, bool for_left_in_parent) const;
  int32_t BasePos(bool vertical) const;
  // The screen place, the origin of the children (the place less the scroll), the hit
  // rectangle and the area the children draw in, kept while the owner's placement generation
  // is placed_generation_. A place is kept only while the parent's is, so a control whose
  // place is not kept has none kept below it either.
  bool Remembered() const;
  bool Remember() const;
  int32_t Placed(bool vertical) const;
  int64_t ChildOrigin(bool vertical) const;
  TSceneRect KeptHitRect() const;
  void ForgetPlace();
  mutable uint64_t placed_generation_ = 0;
  mutable int32_t placed_left_ = 0, placed_top_ = 0;
  mutable int64_t origin_x_ = 0, origin_y_ = 0;
  mutable TSceneRect kept_hit_, kept_area_;
  mutable uint8_t hit_kept_ = 0, area_kept_ = 0, cabinet_kept_ = 0, in_cabinet_ = 0;
  void QueueMouseEvent(TControlHandler h, TNovaProp type);
  // Invalidate, store (clearing the motion field), invalidate; then PositionChanged always.
  void MoveTo(int32_t& field, int32_t v, int32_t* motion);
  void ButtonDown(bool right);
  void ButtonUp(bool right);
  void QueueKeyEvent(TControlHandler h, TNovaProp type, const std::vector<std::string>& keys);
  // Runs when the base list destroys the control, while virtual calls still reach the kind.
  void DetachChildren();
};

} // namespace nova
