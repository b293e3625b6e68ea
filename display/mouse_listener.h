// Receives a panel's mouse moves: the key flags as reported (bit 0 left button, bit 1 right button)
// and the pointer position normalised to 0..1 across the panel, x to the right, y downwards.
#pragma once

class IMouseListener {
public:
    virtual void OnMouse(int flags, double x, double y) = 0;

protected:
    IMouseListener() = default;
    IMouseListener(const IMouseListener&) = default;
    IMouseListener& operator=(const IMouseListener&) = default;
    ~IMouseListener() = default;
};
