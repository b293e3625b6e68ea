// Something a panel draws: Draw issues OpenGL calls into the context current at the call.
// Draw lists hold non-owning pointers; nothing is ever deleted through this interface.
#pragma once

class IRenderable {
public:
    virtual void Draw() = 0;

protected:
    IRenderable() = default;
    IRenderable(const IRenderable&) = default;
    IRenderable& operator=(const IRenderable&) = default;
    ~IRenderable() = default;
};
