// What a button does with the mouse, apart from how it looks: hover, press,
// release inside (a click), release outside (nothing), check toggling and
// radio behaviour. Fed with synthetic events, it is tested without a window.
#pragma once

namespace pt {

enum class VisualState { kNormal, kHover, kPressed, kChecked, kDisabled };

struct ButtonOutcome {
    bool click = false;         // released inside after a press: event 34
    bool checkChanged = false;  // the checked state flipped because of the click
};

class ButtonBehaviour {
  public:
    // Check mode: a click toggles the checked state. In a radio group
    // (radio = true) a click only ever checks; unchecking is the group's job.
    void SetCheckMode(bool on) { checkMode_ = on; }
    bool CheckMode() const { return checkMode_; }
    void SetRadio(bool on) { radio_ = on; }
    bool Radio() const { return radio_; }

    // Returns true when the checked state changed.
    bool SetChecked(bool on) {
        const bool changed = checked_ != on;
        checked_ = on;
        return changed;
    }
    bool Checked() const { return checked_; }

    void SetEnabled(bool on) {
        enabled_ = on;
        if (!on) {
            hover_ = false;
            tracking_ = false;
        }
    }
    bool Enabled() const { return enabled_; }

    void MouseEnter() {
        if (enabled_)
            hover_ = true;
    }
    void MouseLeave() { hover_ = false; }
    // Returns true when the button wants the mouse captured until release.
    bool MouseDown() {
        if (!enabled_)
            return false;
        tracking_ = true;
        hover_ = true;
        return true;
    }
    ButtonOutcome MouseUp(bool inside) {
        ButtonOutcome out;
        const bool wasTracking = tracking_;
        tracking_ = false;
        hover_ = inside && enabled_;
        if (!wasTracking || !inside || !enabled_)
            return out;
        out.click = true;
        if (checkMode_) {
            if (radio_) {
                out.checkChanged = SetChecked(true);
            } else {
                out.checkChanged = SetChecked(!checked_);
            }
        }
        return out;
    }
    // The capture went elsewhere (another window, a menu): the press ends
    // without a click.
    void CaptureLost() {
        tracking_ = false;
        hover_ = false;
    }

    bool Hover() const { return hover_; }
    bool Tracking() const { return tracking_; }
    bool PressedLook() const { return tracking_ && hover_; }

    VisualState State() const {
        if (!enabled_)
            return VisualState::kDisabled;
        if (PressedLook())
            return VisualState::kPressed;
        if (checked_)
            return VisualState::kChecked;
        if (hover_)
            return VisualState::kHover;
        return VisualState::kNormal;
    }

  private:
    bool checkMode_ = false;
    bool radio_ = false;
    bool checked_ = false;
    bool enabled_ = true;
    bool hover_ = false;
    bool tracking_ = false;
};

}  // namespace pt
