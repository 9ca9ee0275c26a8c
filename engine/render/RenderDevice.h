// RenderDevice: the engine's single drawing interface. The base class keeps everything
// that does not depend on the graphics API: viewport and perspective, three 32-deep
// matrix stacks, eight lights, material colours, the cached render states, the static
// buffer table, an immediate-mode builder, draw statistics, the capability record and the
// tables of textures, materials and vertex programs it owns. All API work goes through
// the virtual operations, implemented by GLRenderDevice.
// It never creates the window (platform/ does, through AppWindow); it owns the window
// it is given by attachWindow until detachWindow.
#pragma once

#include "engine/geometry/VertexArray.h"
#include "engine/math/Mat4.h"
#include "engine/math/Vec3.h"
#include "engine/render/Caps.h"
#include "engine/render/RenderTypes.h"
#include "engine/render/ResourceTable.h"

#include <cstdint>
#include <string>
#include <vector>

class Camera;
class Image;
class Material;
class Texture;
class VertexProgram;
class Window;

class RenderDevice;
// The device made last (set by the constructor, cleared by its destructor); null before.
// Parts without a device reference (text, program parameters) reach it through here.
extern RenderDevice* currentDevice;

// One static vertex buffer: the counts of a display list. list -1 marks a free record.
struct BufferRecord {
    int primitive = 0;
    int vertexCount = 0;
    int indexCount = 0;
    int format = 0;
    int vertexSize = 0; // floats per vertex
    int list = -1;
};

// What the frame drew so far; beginFrame starts each frame at zero.
struct RenderStats {
    std::int32_t vertices = 0;
    std::int32_t triangles = 0;
    std::int32_t lines = 0;
    std::int32_t points = 0;
    // Sprites drawn past the device (the particle systems draw with OpenGL directly);
    // whoever draws them adds their count.
    std::int32_t particles = 0;
};

// A matrix stack of 32 entries, all the identity at start; top is the current one.
struct MatrixStack {
    static constexpr int Depth = 32;
    Mat4 entries[Depth];
    int top = 0;
    Mat4& current() { return entries[top]; }
    const Mat4& current() const { return entries[top]; }
};

class RenderDevice {
public:
    static constexpr int BufferCount = 10024;
    static constexpr int TextureCount = 10000;
    static constexpr int MaterialCount = 128;
    static constexpr int VertexProgramCount = 128;
    static constexpr int TextureSlotCount = 16;
    static constexpr int ProgramConstantCount = 128;
    static constexpr int LightCount = 8;
    static constexpr int MaxStages = 8;

    RenderDevice();
    // Frees the tables' storage, not the objects in them: call detachWindow first (the
    // objects hold GL names that need the context).
    virtual ~RenderDevice();
    RenderDevice(const RenderDevice&) = delete;
    RenderDevice& operator=(const RenderDevice&) = delete;

    // ---- Virtual operations (API work) ----
    // New texture object, not yet in the table; owned by the caller.
    virtual Texture* newTexture() = 0;
    // New program, or null when caps.VertexShaderVersion.major < requiredVersion.
    virtual VertexProgram* newVertexProgram(std::uint8_t requiredVersion, int ignored) = 0;
    // New material, or null when enable is false.
    virtual Material* newMaterial(int ignored1, int ignored2, bool enable) = 0;
    virtual void disableVertexProgram() = 0;
    // Detects the driver, fills caps, appends the "Init.log" report, sets base GL state.
    virtual void initialise(Caps& caps) = 0;
    virtual void onDetach() = 0;
    // Current vertex colour to opaque white.
    virtual void resetColor() = 0;
    virtual void onBeginScene() = 0;
    // Called by endFrame before the buffer swap.
    virtual void onPresent() = 0;
    virtual void applyAmbientLight() = 0;
    virtual void disableLightApi(int index) = 0;
    virtual void enableLightApi(int index) = 0;
    virtual void applyLight(int index, const Light& light) = 0;
    // (Slots 13 to 29, the render states, are the protected apply hooks below: callers
    // use the public state setters, which keep the cached fields true.)
    virtual void applyViewport(int x, int y, int width, int height) = 0;
    // The scissor box in the API's window coordinates (x, y of the bottom left corner).
    virtual void applyScissor(int x, int y, int width, int height) = 0;
    virtual void onResize(float width, float height) = 0;
    // The API's own model-view stack, below the device's matrices: a copy of the current
    // model-view pushed, popped, or multiplied by a translation. The next setView or
    // setWorld replaces the current one.
    virtual void pushModelView() = 0;
    virtual void popModelView() = 0;
    virtual void translateModelView(float x, float y, float z) = 0;
    // The view or world top changed.
    virtual void applyView() = 0;
    virtual void applyWorld() = 0;
    virtual void applyProjection() = 0;
    // A list handle for a buffer record.
    virtual int createList() = 0;
    // Returns what the API answered (0 here).
    virtual int deleteList(const BufferRecord& record) = 0;
    virtual void compileList(const BufferRecord& record, const float* vertices, const std::uint16_t* indices) = 0;
    virtual void callList(const BufferRecord& record) = 0;
    // vertices: interleaved floats of format; indices may be null (then vertexCount
    // vertices are drawn in order).
    virtual void drawArrays(int primitive, const float* vertices, int vertexCount, int format,
                            const std::uint16_t* indices, int indexCount) = 0;
    // Unused; returns 0.
    virtual int reserved() = 0;
    virtual void beginOcclusionTest() = 0;
    // True when any fragment passed since beginOcclusionTest; false without support.
    virtual bool endOcclusionTest() = 0;
    virtual void setTextureFilter(int stage, int filter) = 0;
    // Binds texture-table entry index on stage; an index naming no texture switches the
    // stage's texturing off.
    virtual void setTexture(int stage, int index) = 0;
    virtual void setFogStart(float start) = 0;
    virtual void setFogEnd(float end) = 0;
    virtual void setFogColor(float r, float g, float b) = 0;
    virtual void setFogMode(int mode) = 0;
    virtual void setFogDensity(float density) = 0;
    virtual void enableFog() = 0;
    virtual void disableFog() = 0;
    virtual void drawWireEllipsoid(float cx, float cy, float cz, float rx, float ry, float rz, float r, float g, float b) = 0;
    virtual void drawWireBox(float x1, float y1, float z1, float x2, float y2, float z2, float r, float g, float b) = 0;
    // 2D operations: pixel coordinates with y downwards from the viewport's top left,
    // or fractions of the viewport when normalised is true.
    virtual void drawRect2D(float x1, float y1, float x2, float y2, float r, float g, float b, float a, bool normalised) = 0;
    virtual void drawTexturedRect2D(int texture, float x1, float y1, float x2, float y2, bool normalised) = 0;
    virtual void drawLine2D(float x1, float y1, float x2, float y2, float r, float g, float b, float a, bool normalised) = 0;
    virtual void drawPoint(float x, float y, float z, float r, float g, float b) = 0;
    virtual void clearColor() = 0;
    virtual void clearStencil() = 0;
    virtual void clearDepth() = 0;
    virtual void clearAll() = 0;
    // Sends the material colours and shininess.
    virtual void applyMaterial() = 0;
    virtual void setTextureAddress(int u, int v) = 0;

    // ---- Window and frame ----
    // Takes ownership of window (detaching any other first), initialises, resets state.
    void attachWindow(Window* window);
    // Deletes every texture, program and material, then the window.
    void detachWindow();
    void resetState();
    // From Window::resize: a 0 height becomes 1.
    void resize(float width, float height);
    void beginFrame();
    void endFrame();
    Window* getWindow() const { return window; }

    // ---- Transforms ----
    // Also resets the scissor box to the viewport.
    void setViewport(int x, int y, int width, int height);
    // Whether the device reads its frames back and can put a frame drawn at the window's
    // lower-left corner in its place itself (framePlace), on the processor: the same
    // pixels as the frame drawn at that size alone, where drawing at an offset rounds
    // some edges otherwise. The others are given the frame's place as the viewport.
    virtual bool placesFrames() const { return false; }
    // Where the frame drawn at the corner goes (rows from the bottom), and its size;
    // a width of 0 is the whole window.
    struct FramePlace {
        int x = 0;
        int y = 0;
        int width = 0;
        int height = 0;
    } framePlace;
    // Limits drawing and clears to a rectangle of the viewport (pixels, y down from its
    // top left; negative sizes count as 0) until the next setScissor or setViewport:
    // pixels outside keep what they hold.
    void setScissor(int x, int y, int width, int height);
    // Degrees, eye-space distances; aspect from the window size (1 without a window).
    void setPerspective(float fieldOfView, float nearPlane, float farPlane);
    void setProjection(const Mat4& m);
    // At depth 32 the top entry is overwritten.
    void pushProjection(const Mat4& m);
    void popProjection();
    void setView(const Mat4& m);
    void setWorld(const Mat4& m);
    // Not owned; null gives the identity view.
    void setCamera(Camera* camera);
    void updateFrustum();

    // ---- Lights and material colours ----
    void setClearColor(float r, float g, float b);
    void setAmbientLight(const float rgba[4]);
    void setLight(int index, const Light& light);
    // Null outside 0..7.
    const Light* getLight(int index) const;
    void enableLight(int index);
    void disableLight(int index);
    void disableAllLights();
    void setMaterialAmbient(float r, float g, float b, float a);
    void setMaterialDiffuse(float r, float g, float b, float a);
    void setMaterialSpecular(float r, float g, float b, float a);
    void setMaterialEmissive(float r, float g, float b, float a);
    void setMaterialShininess(float shininess);

    // ---- State setters: each writes its cached field, then sends it to the API ----
    void setShadeMode(int mode);
    void setFillMode(int mode);
    void setDepthFunc(int func);
    void setDepthTest(bool on);
    void setDepthWrite(bool on);
    // Sent with the cached alpha function.
    void setAlphaRef(float ref);
    // Sent with the cached alpha reference.
    void setAlphaFunc(int func);
    void setAlphaTest(bool on);
    void setBlending(bool on);
    void setBlendFunc(int src, int dst);
    void setDither(bool on);
    void setLighting(bool on);
    void setCullMode(int mode);
    // All four channels.
    void setColorWrite(bool on);
    void setStencilTest(bool on);
    void setStencilFunc(int func, int ref, std::uint32_t mask);
    void setStencilOp(int fail, int depthFail, int pass);

    // ---- Cached state setters: only a changed value reaches the API ----
    void setLightingCached(bool on);
    void setCullModeCached(int mode);
    void setDepthWriteCached(bool on);
    void setAlphaRefCached(float ref);
    void setAlphaTestCached(bool on);
    void setBlendingCached(bool on);
    void setBlendFuncCached(int src, int dst);

    // ---- Bindings ----
    // textureSlots[slot] = textureIndex for slots 0..15; returns slot. Bound at the next draw.
    int setTextureSlot(int slot, int textureIndex);
    // Program constant index 0..127; other indices are ignored.
    void setProgramConstant(int index, const Vec3& value);
    // Binds the current material's textures and uploads the current program's parameters.
    void applyBindings();

    // ---- Drawing ----
    // Returns the counter the primitive type raised (triangles, lines or points).
    int draw(int primitive, const float* vertices, int vertexCount, int format,
             const std::uint16_t* indices, int indexCount);
    void beginPrimitive(int primitive, int vertexCount, int format, int indexCount);
    // Texture coordinates (set 0..2) of the vertex about to be added.
    void addTexCoord(int set, float u, float v);
    void addVertex(float x, float y, float z);
    // The builder's index array (indexCount entries, zeroed by beginPrimitive) for the
    // caller to fill; null when the primitive has no indices.
    std::uint16_t* primitiveIndices() { return builderIndices.empty() ? nullptr : builderIndices.data(); }
    void endPrimitive();
    void drawQuad(float x1, float y1, float x2, float y2);

    // ---- Static buffers ----
    // Index of a new record, -1 when the table is full.
    int createBuffer(int primitive, int vertexCount, int format, int indexCount);
    // Result of deleteList; -1 for -1 or an index outside the table.
    int destroyBuffer(int index);
    // Compiles the data into the record's list; the device keeps no copy.
    void fillBuffer(int index, const float* vertices, const std::uint16_t* indices);
    void drawBuffer(int index);
    const BufferRecord* getBuffer(int index) const;

    // ---- Texture table ----
    // A green width x height texture of that depth, updatable, without mipmaps.
    // Table index, -1 on failure or a full table.
    int createTexture(int width, int height, int bitsPerPixel);
    // A mipmapped texture from image (not kept; a texture class that builds software
    // mips adds them to it); label is not stored. -1 on failure.
    int addTexture(Image& image, const char* label);
    // The entry already loaded under fileName (one more reference), or a new one. -1 on
    // failure.
    int loadTexture(const char* fileName);
    // Rewrites an updatable texture from image of its size; false otherwise.
    bool updateTexture(int index, const Image& image);
    // A cube map from six images (+X, -X, +Y, -Y, +Z, -Z; not kept). -1 on failure.
    int addCubeTexture(Image faces[6], bool mipmaps);
    // One more / one fewer reference on a table entry; the last release destroys it and
    // returns true.
    bool acquireTexture(int index);
    bool releaseTexture(int index);
    Texture* getTexture(int index) const { return textures.get(index); }

    // ---- Material table ----
    // stageSlots: device slot numbers for stages 0.., ended by -1 (null: keep defaults);
    // codes: ended by 0 (null: none). -1 on failure.
    int loadMaterial(const char* fileName, const int* stageSlots, const int* codes, bool flag);
    int createMaterial(const char* scriptText, const int* stageSlots, const int* codes, bool flag);
    // -1 selects the default material; another index outside the table selects none.
    void setMaterial(int index);
    Material* getMaterial(int index) const { return materials.get(index); }
    // Gives back one reference; the last destroys the material (true).
    bool releaseMaterial(int index);

    // ---- Vertex-program table ----
    // codes: parameter codes ended by 0. -1 when the file cannot be read or the driver
    // refuses the program.
    int loadVertexProgram(const char* fileName, int compileArgument, const int* codes);
    // An index outside the table (including -1) selects none.
    void setVertexProgram(int index);
    VertexProgram* getVertexProgram(int index) const { return programs.get(index); }
    // Gives back one reference; the last destroys the program (true).
    bool releaseVertexProgram(int index);

    // ---- State (read by textures, materials, programs, geometry and tests) ----
    float frustum[6][4] = {};      // right, left, bottom, top, far, near: (a, b, c, d)
    Vec3 frustumCorners[8];
    float aspect = 1.0f;
    float fieldOfView = 65.0f;
    float nearPlane = 0.1f;
    float farPlane = 5000.0f;
    std::int32_t frameCount = 0;
    int viewportX = 0, viewportY = 0, viewportWidth = 0, viewportHeight = 0;

    std::vector<BufferRecord> buffers;
    ResourceTable<Texture> textures{TextureCount};
    ResourceTable<VertexProgram> programs{VertexProgramCount};
    ResourceTable<Material> materials{MaterialCount};
    int textureSlots[TextureSlotCount];
    Material* currentMaterial = nullptr;
    VertexProgram* currentProgram = nullptr;
    Vec3 programConstants[ProgramConstantCount];
    int defaultMaterial = -1;
    int lightmapMaterial = -1;

    float materialAmbient[4] = {1, 1, 1, 1};
    float materialDiffuse[4] = {1, 1, 1, 1};
    float materialSpecular[4] = {0, 0, 0, 0};
    float materialEmissive[4] = {0, 0, 0, 0};
    float materialShininess = 50.0f;
    float clearR = 0.0f, clearG = 0.0f, clearB = 0.0f;
    std::int32_t stencilClearValue = 0;

    Window* window = nullptr;  // owned while attached
    Camera* camera = nullptr;  // not owned
    MatrixStack projection, view, world;
    Light lights[LightCount];
    bool lightEnabled[LightCount] = {};
    float ambientLight[4] = {0, 0, 0, 0};

    // Cached render states.
    bool lighting = false;
    int shadeMode = ShadeMode::Smooth;
    int fillMode = FillMode::Filled;
    int cullMode = CullMode::Back;
    int depthFunc = CompareFunc::LessEqual;
    bool depthTest = true;
    bool depthWrite = true;
    float alphaRef = 0.5f;
    int alphaFunc = CompareFunc::Greater;
    bool alphaTest = true;
    bool blending = false;
    int blendSrc = BlendFactor::SrcAlpha;
    int blendDst = BlendFactor::InvSrcAlpha;
    bool dither = false;
    bool colorWrite = true;
    bool stencilTest = false;
    int stencilFunc = CompareFunc::Always;
    int stencilRef = 0;
    std::uint32_t stencilMask = 0xFFFFFFFFu;
    int stencilFail = StencilOp::Keep;
    int stencilDepthFail = StencilOp::Keep;
    int stencilPass = StencilOp::Keep;

    RenderStats stats;
    Caps caps;
    // Where initialise appends its capability report: "Init.log" in the working
    // directory unless set before attachWindow.
    std::string capabilityLog = "Init.log";

protected:
    // Render-state hooks: send one state to the API. Called only by the state setters,
    // after the cached field holds the new value.
    virtual void applyShadeMode(int mode) = 0;
    virtual void applyFillMode(int mode) = 0;
    virtual void applyDepthFunc(int func) = 0;
    virtual void applyDepthTest(bool on) = 0;
    virtual void applyDepthWrite(bool on) = 0;
    // With the cached alpha function.
    virtual void applyAlphaRef(float ref) = 0;
    // With the cached alpha reference.
    virtual void applyAlphaFunc(int func) = 0;
    virtual void applyAlphaTest(bool on) = 0;
    virtual void applyBlending(bool on) = 0;
    virtual void applyBlendFunc(int src, int dst) = 0;
    virtual void applyDither(bool on) = 0;
    virtual void applyLighting(bool on) = 0;
    virtual void applyCullMode(int mode) = 0;
    // All four channels.
    virtual void applyColorWrite(bool on) = 0;
    virtual void applyStencilTest(bool on) = 0;
    virtual void applyStencilFunc(int func, int ref, std::uint32_t mask) = 0;
    virtual void applyStencilOp(int fail, int depthFail, int pass) = 0;

    // Immediate-mode builder.
    bool building = false;
    int builderPrimitive = 0;
    VertexArray builderVertices;
    std::vector<std::uint16_t> builderIndices;
    std::uint32_t builderWritten = 0;

private:
    void resetMaterialColours();
    int addStatistics(int primitive, int vertexCount, int indexCount, bool indexed);
    int insertTexture(Texture* texture, bool created);
};
