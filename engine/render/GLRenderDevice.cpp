#include "engine/render/GLRenderDevice.h"

#include "engine/material/GLCombineMaterial.h"
#include "engine/material/GLTexture.h"
#include "engine/material/GLVertexProgram.h"
#include "engine/render/GLExtensions.h"
#include "engine/render/GLTranslate.h"

#include <GL/glext.h>

#include <algorithm>

Texture* GLRenderDevice::newTexture()
{
    return new GLTexture();
}

VertexProgram* GLRenderDevice::newVertexProgram(std::uint8_t requiredVersion, int)
{
    if (requiredVersion > caps.VertexShaderVersion.major)
        return nullptr;
    GLVertexProgramApi api;
    api.genPrograms = glext::glGenProgramsARB;
    api.deletePrograms = glext::glDeleteProgramsARB;
    api.bindProgram = glext::glBindProgramARB;
    api.programString = glext::glProgramStringARB;
    api.programLocalParameter4fv = glext::glProgramLocalParameter4fvARB;
    return new GLVertexProgram(api);
}

Material* GLRenderDevice::newMaterial(int, int, bool enable)
{
    if (!enable)
        return nullptr;
    return new GLCombineMaterial(glext::glActiveTextureARB);
}

void GLRenderDevice::disableVertexProgram()
{
    // Without the extension the enable does not exist and would only raise an error.
    if (hasVertexProgram)
        glDisable(GL_VERTEX_PROGRAM_ARB);
}

void GLRenderDevice::resetColor()
{
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}

void GLRenderDevice::applyAmbientLight()
{
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambientLight);
}

void GLRenderDevice::disableLightApi(int index)
{
    glDisable(gltr::light(index));
}

void GLRenderDevice::enableLightApi(int index)
{
    glEnable(gltr::light(index));
}

void GLRenderDevice::applyLight(int index, const Light& light)
{
    const GLfloat ambient[4] = {light.ambient.r / 255.0f, light.ambient.g / 255.0f, light.ambient.b / 255.0f, 1.0f};
    const GLfloat diffuse[4] = {light.diffuse.r / 255.0f, light.diffuse.g / 255.0f, light.diffuse.b / 255.0f, 1.0f};
    const GLfloat specular[4] = {light.specular.r / 255.0f, light.specular.g / 255.0f, light.specular.b / 255.0f,
                                 1.0f};
    GLfloat position[4];
    if (light.type == LightDirectional) {
        position[0] = -light.position.x;
        position[1] = -light.position.y;
        position[2] = -light.position.z;
        position[3] = 0.0f;
    } else {
        position[0] = light.position.x;
        position[1] = light.position.y;
        position[2] = light.position.z;
        position[3] = 1.0f;
    }
    const GLenum id = gltr::light(index);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    // The position is taken in world space under the current view.
    glLoadMatrixf(view.current().m);
    glLightfv(id, GL_AMBIENT, ambient);
    glLightfv(id, GL_DIFFUSE, diffuse);
    glLightfv(id, GL_SPECULAR, specular);
    glLightfv(id, GL_POSITION, position);
    glLightf(id, GL_CONSTANT_ATTENUATION, 1.0f);
    glLightf(id, GL_LINEAR_ATTENUATION, 0.0f);
    glLightf(id, GL_QUADRATIC_ATTENUATION, 1.0f / (light.range * light.range));
    glPopMatrix();
}

void GLRenderDevice::applyShadeMode(int mode)
{
    glShadeModel(gltr::shadeModel(mode));
}

void GLRenderDevice::applyFillMode(int mode)
{
    glPolygonMode(GL_FRONT_AND_BACK, gltr::polygonMode(mode));
}

void GLRenderDevice::applyDepthFunc(int func)
{
    glDepthFunc(gltr::compareFunc(func));
}

namespace {

void enableIf(GLenum cap, bool on)
{
    if (on)
        glEnable(cap);
    else
        glDisable(cap);
}

}

void GLRenderDevice::applyDepthTest(bool on)
{
    enableIf(GL_DEPTH_TEST, on);
}

void GLRenderDevice::applyDepthWrite(bool on)
{
    glDepthMask(on ? GL_TRUE : GL_FALSE);
}

void GLRenderDevice::applyAlphaRef(float ref)
{
    glAlphaFunc(gltr::compareFunc(alphaFunc), ref);
}

void GLRenderDevice::applyAlphaFunc(int func)
{
    glAlphaFunc(gltr::compareFunc(func), alphaRef);
}

void GLRenderDevice::applyAlphaTest(bool on)
{
    enableIf(GL_ALPHA_TEST, on);
}

void GLRenderDevice::applyBlending(bool on)
{
    enableIf(GL_BLEND, on);
}

void GLRenderDevice::applyBlendFunc(int src, int dst)
{
    glBlendFunc(gltr::blendFactor(src), gltr::blendFactor(dst));
}

void GLRenderDevice::applyDither(bool on)
{
    enableIf(GL_DITHER, on);
}

void GLRenderDevice::applyLighting(bool on)
{
    enableIf(GL_LIGHTING, on);
}

void GLRenderDevice::applyCullMode(int mode)
{
    const GLenum face = gltr::cullFace(mode);
    if (face == 0) {
        glDisable(GL_CULL_FACE);
        return;
    }
    glEnable(GL_CULL_FACE);
    glCullFace(face);
}

void GLRenderDevice::applyColorWrite(bool on)
{
    const GLboolean b = on ? GL_TRUE : GL_FALSE;
    glColorMask(b, b, b, b);
}

void GLRenderDevice::applyStencilTest(bool on)
{
    enableIf(GL_STENCIL_TEST, on);
}

void GLRenderDevice::applyStencilFunc(int func, int ref, std::uint32_t mask)
{
    glStencilFunc(gltr::compareFunc(func), ref, mask);
}

void GLRenderDevice::applyStencilOp(int fail, int depthFail, int pass)
{
    glStencilOp(gltr::stencilOp(fail), gltr::stencilOp(depthFail), gltr::stencilOp(pass));
}

void GLRenderDevice::applyViewport(int x, int y, int width, int height)
{
    glViewport(x, y, width, height);
    glScissor(x, y, width, height);
}

void GLRenderDevice::applyScissor(int x, int y, int width, int height)
{
    glScissor(x, y, width, height);
}

void GLRenderDevice::loadModelview()
{
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixf(view.current().m);
    glMultMatrixf(world.current().m);
}

void GLRenderDevice::pushModelView()
{
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
}

void GLRenderDevice::popModelView()
{
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
}

void GLRenderDevice::translateModelView(float x, float y, float z)
{
    glMatrixMode(GL_MODELVIEW);
    glTranslatef(x, y, z);
}

void GLRenderDevice::applyView()
{
    loadModelview();
}

void GLRenderDevice::applyWorld()
{
    loadModelview();
}

void GLRenderDevice::applyProjection()
{
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixf(projection.current().m);
    glMatrixMode(GL_MODELVIEW);
}

int GLRenderDevice::createList()
{
    return static_cast<int>(glGenLists(1));
}

int GLRenderDevice::deleteList(const BufferRecord& record)
{
    glDeleteLists(static_cast<GLuint>(record.list), 1);
    return 0;
}

void GLRenderDevice::compileList(const BufferRecord& record, const float* vertices, const std::uint16_t* indices)
{
    glNewList(static_cast<GLuint>(record.list), GL_COMPILE);
    drawArrays(record.primitive, vertices, record.vertexCount, record.format, indices, record.indexCount);
    glEndList();
}

void GLRenderDevice::callList(const BufferRecord& record)
{
    glDisable(GL_COLOR_MATERIAL);
    glCallList(static_cast<GLuint>(record.list));
}

void GLRenderDevice::drawArrays(int primitive, const float* vertices, int vertexCount, int format,
                                const std::uint16_t* indices, int indexCount)
{
    if (!vertices || vertexCount <= 0)
        return;
    const GLsizei stride = static_cast<GLsizei>(vertexformat::strideOf(static_cast<std::uint32_t>(format)) * 4);
    const unsigned char* base = reinterpret_cast<const unsigned char*>(vertices);
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    glDisableClientState(GL_EDGE_FLAG_ARRAY);
    glDisableClientState(GL_INDEX_ARRAY);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, stride, base);
    size_t cursor = 12;

    if (format & vertexformat::Normal) {
        glEnableClientState(GL_NORMAL_ARRAY);
        glNormalPointer(GL_FLOAT, stride, base + cursor);
        cursor += 12;
    } else {
        glDisableClientState(GL_NORMAL_ARRAY);
    }

    if (format & vertexformat::Colour) {
        // Left enabled after the draw: it is server state.
        glEnable(GL_COLOR_MATERIAL);
        glEnableClientState(GL_COLOR_ARRAY);
        glColorPointer(4, GL_UNSIGNED_BYTE, stride, base + cursor);
        cursor += 4;
    } else {
        glDisableClientState(GL_COLOR_ARRAY);
        glDisable(GL_COLOR_MATERIAL);
    }

    static const std::uint32_t two[3] = {vertexformat::Tex0, vertexformat::Tex1, vertexformat::Tex2};
    static const std::uint32_t three[3] = {vertexformat::Tex0Vec3, vertexformat::Tex1Vec3, vertexformat::Tex2Vec3};
    for (int set = 0; set < 3; ++set) {
        // Without multitexturing there is one coordinate set; later sets would overwrite it.
        if (set > 0 && !glext::glClientActiveTextureARB)
            break;
        glext::clientActiveTexture(set);
        if (format & two[set]) {
            glEnableClientState(GL_TEXTURE_COORD_ARRAY);
            glTexCoordPointer(2, GL_FLOAT, stride, base + cursor);
            cursor += 8;
        } else if (format & three[set]) {
            glEnableClientState(GL_TEXTURE_COORD_ARRAY);
            glTexCoordPointer(3, GL_FLOAT, stride, base + cursor);
            cursor += 12;
        } else {
            glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        }
    }

    const GLenum mode = gltr::primitive(primitive);
    if (indices)
        glDrawElements(mode, indexCount, GL_UNSIGNED_SHORT, indices);
    else
        glDrawArrays(mode, 0, vertexCount);
    glPopClientAttrib();
}

void GLRenderDevice::beginOcclusionTest()
{
    if (!caps.OcclusionTest)
        return;
    glDepthMask(GL_FALSE);
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    glEnable(GL_OCCLUSION_TEST_HP);
}

bool GLRenderDevice::endOcclusionTest()
{
    if (!caps.OcclusionTest)
        return false;
    glDisable(GL_OCCLUSION_TEST_HP);
    glDepthMask(GL_TRUE);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    GLboolean result = GL_FALSE;
    glGetBooleanv(GL_OCCLUSION_TEST_RESULT_HP, &result);
    return result == GL_TRUE;
}

void GLRenderDevice::setTextureFilter(int stage, int filter)
{
    if (stage < 0 || stage >= MaxStages)
        return;
    if (filter > TextureFilter::Trilinear && !caps.AnisotropicFiltering)
        filter = TextureFilter::Trilinear;
    textureFilter[stage] = filter;
}

void GLRenderDevice::setTexture(int stage, int index)
{
    if (stage < 0 || stage >= MaxStages)
        return;
    Texture* texture = textures.get(index);
    if (!texture) {
        glext::activeTexture(stage);
        glDisable(GL_TEXTURE_2D);
        if (caps.CubeMaps)
            glDisable(GL_TEXTURE_CUBE_MAP_ARB);
        return;
    }
    texture->bind(stage);
    // Sampling parameters below go to the bound 2D texture, as the stage filters do.
    const int f = textureFilter[stage];
    if (caps.AnisotropicFiltering) {
        const float anisotropy = std::min(gltr::filterAnisotropy(f), static_cast<float>(caps.MaxAnisotropy));
        glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAX_ANISOTROPY_EXT, std::max(anisotropy, 1.0f));
    }
    int sampling = f;
    if (!(texture->flags & Texture::HasMipmaps) && sampling >= TextureFilter::Trilinear)
        sampling = TextureFilter::Bilinear;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, static_cast<GLint>(gltr::minFilter(sampling)));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, static_cast<GLint>(gltr::magFilter(sampling)));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, static_cast<GLint>(gltr::addressMode(addressU)));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, static_cast<GLint>(gltr::addressMode(addressV)));
}

void GLRenderDevice::setFogStart(float start)
{
    glFogf(GL_FOG_START, start);
}

void GLRenderDevice::setFogEnd(float end)
{
    glFogf(GL_FOG_END, end);
}

void GLRenderDevice::setFogColor(float r, float g, float b)
{
    // The fog colour's alpha is not blended by fixed-function fog; opaque is chosen.
    const GLfloat colour[4] = {r, g, b, 1.0f};
    glFogfv(GL_FOG_COLOR, colour);
}

void GLRenderDevice::setFogMode(int mode)
{
    const GLenum glMode = gltr::fogMode(mode);
    if (glMode != 0)
        glFogi(GL_FOG_MODE, static_cast<GLint>(glMode));
}

void GLRenderDevice::setFogDensity(float density)
{
    glFogf(GL_FOG_DENSITY, density);
}

void GLRenderDevice::enableFog()
{
    glEnable(GL_FOG);
}

void GLRenderDevice::disableFog()
{
    glDisable(GL_FOG);
}

void GLRenderDevice::clearColor()
{
    glClearColor(clearR, clearG, clearB, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
}

void GLRenderDevice::clearStencil()
{
    glClearStencil(stencilClearValue);
    glClear(GL_STENCIL_BUFFER_BIT);
}

void GLRenderDevice::clearDepth()
{
    setDepthWriteCached(true);
    glClear(GL_DEPTH_BUFFER_BIT);
}

void GLRenderDevice::clearAll()
{
    setDepthWriteCached(true);
    glClearColor(clearR, clearG, clearB, 1.0f);
    glClearStencil(stencilClearValue);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
}

void GLRenderDevice::applyMaterial()
{
    glDisable(GL_COLOR_MATERIAL);
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, materialAmbient);
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, materialDiffuse);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, materialSpecular);
    glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, materialEmissive);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, materialShininess);
}

void GLRenderDevice::setTextureAddress(int u, int v)
{
    addressU = u;
    addressV = v;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, static_cast<GLint>(gltr::addressMode(u)));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, static_cast<GLint>(gltr::addressMode(v)));
}
