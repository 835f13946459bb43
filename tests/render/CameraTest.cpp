// Camera: the cached matrix P*R*T with its exact single-precision values.
#include <gtest/gtest.h>

#include <cmath>

#include "Camera.h"

namespace
{

// cos and sin of pi/4 in single precision: the float nearest sqrt(2)/2.
const float kHalfRoot2 = 0.70710677f;

void ExpectMatrix(const Matrix4& rActual, const float (&afExpected)[16], const char* pszWhat)
{
    for (Int32 i = 0; i < 16; ++i)
        EXPECT_EQ(rActual.m_afEntry[i], afExpected[i]) << pszWhat << ", entry " << i;
}

void ExpectMatrixNear(const Matrix4& rActual, const double (&adExpected)[16], double dTolerance,
                      const char* pszWhat)
{
    for (Int32 i = 0; i < 16; ++i)
        EXPECT_NEAR(rActual.m_afEntry[i], adExpected[i], dTolerance) << pszWhat << ", entry " << i;
}

TEST(CameraTest, DefaultMatrix)
{
    Camera camera;
    const Matrix4& m = *camera.GetMatrix();
    const float c = kHalfRoot2;
    const float afExpected[16] = {c, 0, 0, 0, 0, c, 0, 0, 0, 0, c, -0.0f, 0, 0, c, 1};
    ExpectMatrix(m, afExpected, "default camera");
    // -n*Q with n = 0 is a negative zero.
    EXPECT_TRUE(std::signbit(m.m_afEntry[11]));
}

TEST(CameraTest, DefaultMapsAPointInFront)
{
    // (0, 0, 1, 1) -> (0, 0, c, c + 1).
    Camera camera;
    const float* m = camera.GetMatrix()->m_afEntry;
    const float x = 0, y = 0, z = 1, w = 1;
    EXPECT_EQ(m[0] * x + m[1] * y + m[2] * z + m[3] * w, 0.0f);
    EXPECT_EQ(m[4] * x + m[5] * y + m[6] * z + m[7] * w, 0.0f);
    EXPECT_EQ(m[8] * x + m[9] * y + m[10] * z + m[11] * w, 0.70710677f);
    EXPECT_EQ(m[12] * x + m[13] * y + m[14] * z + m[15] * w, 1.7071068f);
}

TEST(CameraTest, ScenePositionTranslatesAlongZ)
{
    // The scene places the camera at (0, 0, 25 * -0.2857143) = (0, 0, -7.1428576):
    // stored negated, it adds s * 7.1428576 to rows 2 and 3 of column 3.
    Camera camera;
    camera.SetPosition(Vector3(0.0f, 0.0f, 25 * -0.2857143f));
    camera.SetFarPlane(50.0f);
    const Matrix4& m = *camera.GetMatrix();
    EXPECT_EQ(m.m_afEntry[11], 5.0507631f);
    EXPECT_EQ(m.m_afEntry[15], 6.0507631f);
    EXPECT_EQ(m.m_afEntry[3], 0.0f);
    EXPECT_EQ(m.m_afEntry[7], 0.0f);
    EXPECT_EQ(m.m_afEntry[10], kHalfRoot2);
}

TEST(CameraTest, PositionIsStoredNegated)
{
    Camera camera;
    camera.SetPosition(Vector3(2.0f, -4.0f, 0.0f));
    const Matrix4& m = *camera.GetMatrix();
    // Column 3 = P * (-2, 4, 0): (c * -2, c * 4, 0, 1) with c = 0.70710677.
    EXPECT_EQ(m.m_afEntry[3], -1.4142135f);
    EXPECT_EQ(m.m_afEntry[7], 2.828427f);
    EXPECT_EQ(m.m_afEntry[11], 0.0f);
    EXPECT_EQ(m.m_afEntry[15], 1.0f);
}

TEST(CameraTest, FarPlaneDoesNotMatterWithNearZero)
{
    Camera camera;
    Matrix4* pMatrix = camera.GetMatrix();
    pMatrix->m_afEntry[5] = 42.0f; // a mark the rebuild must overwrite
    camera.SetFarPlane(50.0f);
    const float c = kHalfRoot2;
    const float afExpected[16] = {c, 0, 0, 0, 0, c, 0, 0, 0, 0, c, -0.0f, 0, 0, c, 1};
    ExpectMatrix(*camera.GetMatrix(), afExpected, "far 50, near 0");
}

TEST(CameraTest, NearPlaneScalesDepth)
{
    // n = 1, f = 2: Q = s / (1 - 1/2) = 2s = 1.4142135; row 2 = (0, 0, Q, -Q).
    Camera camera;
    camera.SetNearPlane(1.0f);
    camera.SetFarPlane(2.0f);
    const Matrix4& m = *camera.GetMatrix();
    EXPECT_EQ(m.m_afEntry[10], 1.4142135f);
    EXPECT_EQ(m.m_afEntry[11], -1.4142135f);
    EXPECT_EQ(m.m_afEntry[14], kHalfRoot2); // row 3 keeps s and 1
    EXPECT_EQ(m.m_afEntry[15], 1.0f);
}

TEST(CameraTest, FieldOfViewSetsCosineAndSine)
{
    // 60 degrees: h = 30 degrees, c = 0.8660254, s = 0.5.
    Camera camera;
    camera.SetFieldOfView(1.0471976f);
    const Matrix4& m = *camera.GetMatrix();
    EXPECT_NEAR(m.m_afEntry[0], 0.8660254, 1e-7);
    EXPECT_NEAR(m.m_afEntry[5], 0.8660254, 1e-7);
    EXPECT_NEAR(m.m_afEntry[10], 0.5, 1e-7);
    EXPECT_NEAR(m.m_afEntry[14], 0.5, 1e-7);
}

// The rotation, checked against standard right-handed rotations built here
// in double precision: R = Ry(v.x) * Rx(v.y) * Rz(v.z) for SetOrientation(v).
void Multiply(const double a[3][3], const double b[3][3], double out[3][3])
{
    for (int i = 0; i < 3; ++i)
        for (int k = 0; k < 3; ++k)
            out[i][k] = a[i][0] * b[0][k] + a[i][1] * b[1][k] + a[i][2] * b[2][k];
}

TEST(CameraTest, OrientationRotatesYThenXThenZ)
{
    struct
    {
        double a, b, g;
    } const aCases[] = {{1.5707963, 0, 0}, {0, 0.5, 0}, {0, 0, 0.5}, {0.3, -0.7, 1.1}};
    for (const auto& vIn : aCases)
    {
        // The angles the camera gets, as floats, widened again.
        const struct
        {
            double a, b, g;
        } v = {double(float(vIn.a)), double(float(vIn.b)), double(float(vIn.g))};
        const double ry[3][3] = {{cos(v.a), 0, sin(v.a)}, {0, 1, 0}, {-sin(v.a), 0, cos(v.a)}};
        const double rx[3][3] = {{1, 0, 0}, {0, cos(v.b), -sin(v.b)}, {0, sin(v.b), cos(v.b)}};
        const double rz[3][3] = {{cos(v.g), -sin(v.g), 0}, {sin(v.g), cos(v.g), 0}, {0, 0, 1}};
        double rxz[3][3], r[3][3];
        Multiply(rx, rz, rxz);
        Multiply(ry, rxz, r);
        // P with fov pi/2, near 0: rows (c,0,0,0), (0,c,0,0), (0,0,c,0), (0,0,c,1).
        const double c = std::sqrt(0.5);
        const double adExpected[16] = {
            c * r[0][0], c * r[0][1], c * r[0][2], 0, c * r[1][0], c * r[1][1], c * r[1][2], 0,
            c * r[2][0], c * r[2][1], c * r[2][2], 0, c * r[2][0], c * r[2][1], c * r[2][2], 1};
        Camera camera;
        camera.SetOrientation(Vector3(float(v.a), float(v.b), float(v.g)));
        ExpectMatrixNear(*camera.GetMatrix(), adExpected, 3e-7, "orientation");
    }
}

TEST(CameraTest, TranslationActsBeforeTheRotation)
{
    // Turned a quarter about y, a camera at x = 2 sees the world shifted by
    // t = (-2, 0, 0) and then turned: column 3 = P * R * t, where R's column 0
    // is (0, 0, -1): (0, 0, 2c, 1 + 2c) with c = 0.70710677.
    Camera camera;
    camera.SetOrientation(Vector3(1.5707964f, 0.0f, 0.0f));
    camera.SetPosition(Vector3(2.0f, 0.0f, 0.0f));
    const Matrix4& m = *camera.GetMatrix();
    EXPECT_NEAR(m.m_afEntry[3], 0.0, 1e-6);
    EXPECT_NEAR(m.m_afEntry[7], 0.0, 1e-6);
    EXPECT_NEAR(m.m_afEntry[11], 1.4142135, 1e-6);
    EXPECT_NEAR(m.m_afEntry[15], 2.4142135, 1e-6);
}

TEST(CameraTest, CachedMatrixIsRebuiltOnlyAfterASetter)
{
    struct
    {
        const char* pszSetter;
        void (*pfnSet)(Camera&);
    } const aSetters[] = {
        {"SetPosition", [](Camera& c) { c.SetPosition(Vector3(0, 0, 0)); }},
        {"SetOrientation", [](Camera& c) { c.SetOrientation(Vector3(0, 0, 0)); }},
        {"SetNearPlane", [](Camera& c) { c.SetNearPlane(0.0f); }},
        {"SetFarPlane", [](Camera& c) { c.SetFarPlane(1.0f); }},
        {"SetFieldOfView", [](Camera& c) { c.SetFieldOfView(1.5707964f); }},
    };
    for (const auto& s : aSetters)
    {
        Camera camera;
        Matrix4* pMatrix = camera.GetMatrix();
        pMatrix->m_afEntry[0] = 42.0f; // mark the cache
        EXPECT_EQ(camera.GetMatrix(), pMatrix) << s.pszSetter;
        EXPECT_EQ(camera.GetMatrix()->m_afEntry[0], 42.0f) << "no setter, no rebuild";
        s.pfnSet(camera); // same values as before: the rebuild still happens
        EXPECT_EQ(camera.GetMatrix()->m_afEntry[0], kHalfRoot2) << s.pszSetter;
    }
}

} // namespace
