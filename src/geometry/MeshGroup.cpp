// MeshGroup: allocation and release of the corner and triangle arrays.
#include "MeshGroup.h"

#include <new>

MeshGroup::MeshGroup()
    : m_nCornerCount(0), m_pCorners(nullptr), m_nTriangleCount(0), m_pTriangles(nullptr)
{
}

MeshGroup::~MeshGroup()
{
    Free();
}

Int32 MeshGroup::Allocate(Int32 nCornerCount, Int32 nTriangleCount)
{
    m_nCornerCount = nCornerCount > 0 ? nCornerCount : 0;
    m_nTriangleCount = nTriangleCount > 0 ? nTriangleCount : 0;
    m_pCorners = new (std::nothrow) MeshCorner[m_nCornerCount];
    m_pTriangles = new (std::nothrow) MeshTriangle[m_nTriangleCount];
    Int32 nResult = 1;
    if (m_pCorners == nullptr)
    {
        m_nCornerCount = 0;
        nResult = 0;
    }
    if (m_pTriangles == nullptr)
    {
        m_nTriangleCount = 0;
        nResult = 0;
    }
    return nResult;
}

void MeshGroup::Free()
{
    if (m_pTriangles != nullptr)
    {
        delete[] m_pTriangles;
        m_pTriangles = nullptr;
    }
    if (m_pCorners != nullptr)
    {
        delete[] m_pCorners;
        m_pCorners = nullptr;
    }
}
