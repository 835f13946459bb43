// MeshTriangle: three indices into its group's corner array (not into the
// vertex array), in drawing order. Owned by value by its MeshGroup.
#pragma once

#include "Types.h"

class MeshTriangle
{
  public:
    Int32 m_anCorner[3];
};
