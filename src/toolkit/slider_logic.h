// What a slider bar does with the mouse, apart from how it looks: a range
// and a position, the thumb's place along the track, a press on the thumb
// that drags it (keeping the grab point under the mouse), a press on the
// track that jumps the thumb there and drags on, and hover over the thumb.
// Coordinates run along the bar's axis from its start. Pure, tested alone.
#pragma once

namespace pt {

class SliderLogic {
  public:
    // The range is ordered (a reversed pair is swapped); the position is
    // clamped into it.
    void SetRange(int minimum, int maximum);
    int Minimum() const { return min_; }
    int Maximum() const { return max_; }
    // Returns true when the position changed.
    bool SetPosition(int position);
    int Position() const { return pos_; }

    // The track's length and the thumb's length along the axis, in pixels.
    void SetGeometry(int trackLength, int thumbLength);
    int ThumbLength() const { return thumb_; }
    // The thumb's start along the axis for the current position.
    int ThumbOffset() const;
    bool OnThumb(int x) const;
    // The position whose thumb centre lies nearest to `x`.
    int PositionAt(int x) const;

    // Mouse input; each returns true when the position changed.
    bool Press(int x);
    bool Drag(int x);
    void Release();
    bool Dragging() const { return dragging_; }
    // Hover over the thumb (updated by Hover, cleared by Leave).
    void Hover(int x) { hover_ = OnThumb(x); }
    void Leave() { hover_ = false; }
    bool ThumbHover() const { return hover_ || dragging_; }

  private:
    int Travel() const;
    // The position whose thumb would start at `start` along the track.
    int PositionForStart(double start) const;

    int min_ = 0;
    int max_ = 100;
    int pos_ = 0;
    int track_ = 0;
    int thumb_ = 0;
    bool dragging_ = false;
    bool hover_ = false;
    int grab_ = 0;  // the mouse's distance from the thumb's start while dragging
};

}  // namespace pt
