// Something a panel draws: Draw issues OpenGL calls into the context current at the call.
// Draw lists hold non-owning pointers; nothing is ever deleted through this interface.
#pragma once

class CDrawingKey;

class IRenderable {
public:
    virtual void Draw() = 0;
    // Appends every value that Draw's picture depends on and returns true. An entry that cannot tell
    // keeps the default, false, and its panel is then drawn again on every render.
    virtual bool DescribeDrawing(CDrawingKey& /*key*/) const { return false; }

protected:
    IRenderable() = default;
    IRenderable(const IRenderable&) = default;
    IRenderable& operator=(const IRenderable&) = default;
    ~IRenderable() = default;
};
