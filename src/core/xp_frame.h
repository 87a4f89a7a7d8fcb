// XPFrame: the add-on's group box. A rectangle with a caption at its top
// left, drawn in the visual style of the active theme when there is one and
// as a classic etched frame otherwise. Dialogs place it in their layouts
// (fraTyp, fraArt, fraWorkflow, fraWorkflow2, fraResponsible) and only ever
// switch its Enabled property from code.
//
// Life of a frame: constructing it runs UserControl_Initialize and then
// UserControl_InitProperties, so a frame starts enabled with its display
// name as caption; a layout that keeps stored properties then hands them in
// through UserControl_ReadProperties. Destroying it runs
// UserControl_Terminate. Every paint of the control draws it anew through
// the current ui::DrawApi.
//
//   XPFrame fraResponsible{*this, "fraResponsible"};
//   fraResponsible.SetCaption("Verantwortlichkeiten");
//   ...
//   fraResponsible.SetEnabled(false);   // children out of reach, caption greyed
#pragma once

#include <string>

#include "platform/object.h"
#include "platform/ui/user_control.h"

class XPFrame : public ui::UserControl {
 public:
  XPFrame(ui::Container& parent, std::string name);
  ~XPFrame() override;

  // The Enabled property. Setting it stores the value, marks "Enabled" as
  // changed for the layout, enables or disables the control itself (and so
  // every control placed in it) and redraws the frame.
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled) override;

  // The Caption property, as stored (with any "&" that underlines the next
  // letter). Setting it marks "Caption" as changed and redraws.
  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string caption);

  // True when the application runs with visual styles and the theme probe
  // could be created. An error while asking counts as false.
  bool Themed() const;

  // Control events.
  void UserControl_Initialize();
  void UserControl_Terminate();
  void UserControl_InitProperties();
  void UserControl_ReadProperties(const ui::PropertyBag& bag);
  // Values equal to their default (Enabled true, Caption the display name)
  // are not stored.
  void UserControl_WriteProperties(ui::PropertyBag& bag) const;
  void UserControl_Paint();

  // Draws the whole control: clears it, draws the frame from half the
  // caption's height down, and the caption over it at the caption inset.
  // Themed, a disabled caption is drawn in the group box's disabled state
  // (ui::draw::GBS_DISABLED); classic, through DrawStateA's greyed flag.
  //
  // An error in a drawing call ends the drawing silently; what was drawn
  // until then stays. Theme data that was opened is closed in every case.
  // When the theme hands out no theme data the frame is drawn classic.
  void DrawFrame();

 protected:
  void Paint() override { UserControl_Paint(); }

 private:
  // Fills the caption's box, widened by the caption margin on each side,
  // with the background colour so that the frame line stops short of the
  // caption.
  void EraseCaptionBack(const ui::Size& text);
  // Draws the theme's group-box part and the caption over it. False, with
  // nothing drawn, when the theme has no data for buttons.
  bool DrawThemed(const ui::Rect& frame, const ui::Rect& captionBox, const ui::Size& text);
  // Draws the etched edge and the caption as prefix text.
  void DrawClassic(const ui::Rect& frame, const ui::Size& text);

  rt::ObjectPtr themeProbe_;  // an image list; empty when none could be made
  bool enabled_ = true;
  std::string caption_;
  float captionInset_ = 0;   // left edge of the caption, set on each drawing
  float captionMargin_ = 0;  // room left free on each side of the caption
};
