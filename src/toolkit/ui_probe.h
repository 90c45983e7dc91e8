// The probe surface for tests and tools (and nothing else): find the
// elements of live toolkit windows by role name or identifier, read what
// they show and their state, and work them either through real input
// (SendInput at their position on the screen, the way a user would) or
// through synthetic mouse messages sent straight to their window.
//
// Real input goes to whatever window is under the pointer and to the
// foreground window's keyboard focus, like a user's: show the window (on
// top) first, and poll for the result, since the input arrives through the
// message queue.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/geometry.h"

namespace pt {

class Element;
class Window;

namespace probe {

struct ElementState {
    std::string role;  // the role name
    int identifier = 0;
    std::string text;      // what it shows (DisplayText)
    bool checked = false;  // buttons, menu items
    bool enabled = false;
    bool visible = false;  // shown: visible itself and all the way up
    Rect rect;             // window coordinates
    Rect screenRect;
    int value = 0;  // a slider's position
};

// The first element with that role name in `window`, depth first; null
// when there is none or the window is no toolkit window.
Element* Find(HWND window, std::string_view role);
Element* FindById(HWND window, int identifier);
// Every element with that role name under `root` (itself included).
std::vector<Element*> FindAll(Element& root, std::string_view role);
// Toolkit windows of this thread with that native class (null: any) and,
// when given, that title.
std::vector<Window*> FindWindows(const wchar_t* className, std::string_view title = {});

ElementState Read(const Element& element);

enum class Button { kLeft, kRight };

// ---- synthetic: messages sent to the element's window at its centre
void HoverByMessage(const Element& element);
void ClickByMessage(const Element& element, Button button = Button::kLeft);

// ---- real input through SendInput (screen coordinates)
Point ScreenCentre(const Element& element);
// Moves the pointer there; true when the system took the input.
bool MoveMouse(Point screen);
bool Click(Point screen, Button button = Button::kLeft);
bool Click(const Element& element, Button button = Button::kLeft);
// Button down here, moved in `steps` to `to`, button up there.
bool Drag(Point from, Point to, int steps = 8);
// Presses and releases `vk` with the modifier keys held around it.
bool PressKey(WORD vk, std::initializer_list<WORD> modifiers = {});

}  // namespace probe
}  // namespace pt
