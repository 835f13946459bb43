// Renderer: the engine's software front end to Glide.
//
// Owner: the DisplayDevice (one per display). It constructs the Renderer,
// calls Start when it opens, Stop then Start when it switches output mode, and
// Stop then destroys it when it closes. Others reach it through g_pEngine,
// Engine::GetDisplay and DisplayDevice::GetRenderer, fetched afresh each time.
//
// It owns its Camera, the matrix stack, the batch arrays (clip and screen
// vertices), two clip polygons, the pool of free triangle nodes and the
// default Material, whose queued-triangle list is the active list. It owns no
// mesh and not the display.
//
// Per frame (the scene's order): BeginFrame; any number of PushMatrix, edit
// GetTopMatrix, Mesh::Draw (BeginVertices/AddVertex/TransformVertices, the clip
// stages, AddTriangle), PopMatrix; then Flush. In a steady scene nothing in the
// frame allocates: the batch arrays only grow past their largest size so far
// and queued triangles come from the pool.
//
// Units: screen coordinates in pixels with the upper-left origin, snapped to
// 1/16 pixel; colours 0..255 as floats; texture coordinates 0..255 divided by w.
#pragma once

#include <glide.h>

#include "Camera.h"
#include "ClipPolygon.h"
#include "ClipVertex.h"
#include "Material.h"
#include "Matrix4.h"
#include "TriangleList.h"
#include "Types.h"

class Mesh;

class Renderer
{
  public:
    enum
    {
        STACK_SIZE = 10 // matrices in the stack
    };

    Renderer();
    ~Renderer();

    // Allocates the stack and one-entry batch arrays, reads the screen size
    // through g_pEngine and loads the default material from "Default.mtl".
    // Returns 1 when started; 0 when the material fails to load (or the stack
    // cannot be allocated, or there is no display to read the size from).
    Int32 Start();
    // Frees the stack, the batch arrays and the pool (nodes with their
    // Triangles). Safe to call again; leaves the renderer restartable.
    void Stop();

    Camera* GetCamera() { return &m_Camera; }

    // Matrix stack. BeginFrame resets the top to entry 0 and copies the camera
    // matrix into it; returns 1 (0 only when the renderer is not started).
    Int32 BeginFrame();
    // Copies the top into the next entry and makes it the top. At the last
    // entry the push is refused and the top stays where it is.
    Matrix4* PushMatrix();
    // Makes the entry below the top the new top and returns it. At entry 0
    // the pop is refused and entry 0 stays the top.
    Matrix4* PopMatrix();
    // The top entry; callers edit its elements in place. Null before Start.
    Matrix4* GetTopMatrix();

    // Batch: room for n vertices, count 0. Grows only when n exceeds the
    // capacity (contents lost); if that allocation fails the capacity drops to
    // 0 and every later AddVertex of the batch is ignored.
    void BeginVertices(UInt32 nCount);
    // Appends a copy of rVertex; ignored when the batch is full.
    void AddVertex(const ClipVertex& rVertex);
    // Transforms the batch by the top matrix, sets each outcode and the two
    // summaries, projects every vertex inside the volume. Returns the count.
    UInt32 TransformVertices();
    // BeginVertices(n), copy the n records, TransformVertices.
    UInt32 SubmitVertices(UInt32 nCount, const ClipVertex* pVertices);
    // Clip space to Glide screen space (see Renderer.cpp for the arithmetic).
    void ProjectVertex(GrVertex& rOut, const ClipVertex& rIn) const;

    // Queues one triangle (copies of the three vertices) on the active list,
    // reusing the pool's first node. Dropped when no node can be had.
    void AddTriangle(const GrVertex& rA, const GrVertex& rB, const GrVertex& rC);
    // Applies the default material once, draws every queued triangle in queue
    // order with grDrawTriangle, and returns the nodes to the pool's tail.
    void Flush();
    // Tags later triangles with pMaterial (null: the default material). All
    // triangles are still drawn with the default material's state.
    void SetMaterial(Material* pMaterial);
    // Stores the mode and calls grCullMode with it.
    void SetCullMode(Int32 nMode);

    // Read access for Mesh::Draw, tests and tools.
    UInt32 GetVertexCount() const { return m_nVertexCount; }
    UInt32 GetVertexCapacity() const { return m_nVertexCapacity; }
    const ClipVertex* GetClipVertices() const { return m_pClipVertices; }
    const GrVertex* GetScreenVertices() const { return m_pScreenVertices; }
    Int32 GetOutcodeAnd() const { return m_nOutcodeAnd; }
    Int32 GetOutcodeOr() const { return m_nOutcodeOr; }
    ClipPolygon& GetPolygonA() { return m_PolygonA; }
    ClipPolygon& GetPolygonB() { return m_PolygonB; }
    Int32 GetStackTop() const { return m_nStackTop; }
    float GetCentreX() const { return m_fCentreX; }
    float GetCentreY() const { return m_fCentreY; }
    Int32 GetCullMode() const { return m_nCullMode; }
    Material* GetCurrentMaterial() const { return m_pCurrentMaterial; }
    Material* GetDefaultMaterial() { return &m_DefaultMaterial; }
    const TriangleList& GetFreeTriangles() const { return m_FreeTriangles; }
    TriangleList* GetActiveList() const { return m_pActiveList; }

  private:
    Renderer(const Renderer&) = delete;
    Renderer& operator=(const Renderer&) = delete;

    void FreeArrays(); // the stack and both batch arrays
    void FreePool();

    Camera m_Camera;              // constructed first
    Int32 m_nStackTop;            // index of the current top matrix
    Int32 m_nStackSize;           // STACK_SIZE, set by Start
    Matrix4* m_pStack;            // owned; m_nStackSize entries
    UInt32 m_nVertexCount;        // vertices in the current batch
    UInt32 m_nVertexCapacity;     // entries in both batch arrays
    ClipVertex* m_pClipVertices;  // owned; the batch in clip space
    GrVertex* m_pScreenVertices;  // owned; index-aligned with the clip vertices
    Int32 m_nOutcodeAnd;          // all outcodes ANDed (from all bits set)
    Int32 m_nOutcodeOr;           // all outcodes ORed (from 0)
    ClipPolygon m_PolygonA;       // clipping scratch
    ClipPolygon m_PolygonB;       // clipping scratch
    TriangleList m_FreeTriangles; // pool of reusable nodes with their Triangles
    TriangleList* m_pActiveList;  // where new triangles go: the default material's list
    float m_fCentreX;             // half the screen width
    float m_fCentreY;             // half the screen height
    Int32 m_nCullMode;            // last mode given to grCullMode
    Material* m_pCurrentMaterial; // tag written into new triangles
    Material m_DefaultMaterial;   // loaded from Default.mtl by Start
};
