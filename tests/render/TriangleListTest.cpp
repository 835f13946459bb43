// TriangleList: linking, unlinking and moving nodes between lists.
#include <gtest/gtest.h>

#include <vector>

#include "Triangle.h"
#include "TriangleList.h"
#include "TriangleNode.h"

namespace
{

// The triangles a list carries, first to last, checked against the links in
// both directions and against the count.
std::vector<Triangle*> Contents(const TriangleList& rList)
{
    std::vector<Triangle*> forward;
    const TriangleNode* pPrevious = nullptr;
    for (const TriangleNode* p = rList.GetFirst(); p != nullptr; p = p->m_pNext)
    {
        EXPECT_EQ(p->m_pPrevious, pPrevious);
        forward.push_back(p->m_pTriangle);
        pPrevious = p;
    }
    EXPECT_EQ(rList.GetLast(), pPrevious);
    EXPECT_EQ(static_cast<Int32>(forward.size()), rList.GetCount());
    return forward;
}

TEST(TriangleListTest, StartsEmpty)
{
    TriangleList list;
    EXPECT_EQ(list.GetFirst(), nullptr);
    EXPECT_EQ(list.GetLast(), nullptr);
    EXPECT_EQ(list.GetCount(), 0);
}

TEST(TriangleListTest, AppendNullChangesNothing)
{
    TriangleList list;
    EXPECT_EQ(list.Append(nullptr), 0);
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_EQ(list.GetFirst(), nullptr);
}

TEST(TriangleListTest, AppendLinksAtTheTail)
{
    Triangle a, b, c;
    TriangleList list;
    EXPECT_EQ(list.Append(&a), 1);
    EXPECT_EQ(list.GetFirst(), list.GetLast());
    EXPECT_EQ(list.Append(&b), 1);
    EXPECT_EQ(list.Append(&c), 1);
    EXPECT_EQ(Contents(list), (std::vector<Triangle*>{&a, &b, &c}));
    list.FreeNodes();
}

TEST(TriangleListTest, UnlinkAnyPosition)
{
    struct
    {
        const char* pszName;
        Int32 nPosition; // of the four nodes
        std::vector<Int32> remaining;
    } const aCases[] = {
        {"first", 0, {1, 2, 3}},
        {"middle", 2, {0, 1, 3}},
        {"last", 3, {0, 1, 2}},
    };
    for (const auto& c : aCases)
    {
        Triangle aTriangles[4];
        TriangleList list;
        for (Triangle& t : aTriangles)
            list.Append(&t);
        TriangleNode* pNode = list.GetFirst();
        for (Int32 i = 0; i < c.nPosition; ++i)
            pNode = pNode->m_pNext;
        list.Unlink(pNode);
        EXPECT_EQ(pNode->m_pPrevious, nullptr) << c.pszName;
        EXPECT_EQ(pNode->m_pNext, nullptr) << c.pszName;
        EXPECT_EQ(pNode->m_pTriangle, &aTriangles[c.nPosition]) << c.pszName;
        std::vector<Triangle*> expected;
        for (Int32 n : c.remaining)
            expected.push_back(&aTriangles[n]);
        EXPECT_EQ(Contents(list), expected) << c.pszName;
        delete pNode;
        list.FreeNodes();
    }
}

TEST(TriangleListTest, UnlinkOnlyNodeEmptiesTheList)
{
    Triangle a;
    TriangleList list;
    list.Append(&a);
    TriangleNode* pNode = list.GetFirst();
    list.Unlink(pNode);
    EXPECT_EQ(list.GetFirst(), nullptr);
    EXPECT_EQ(list.GetLast(), nullptr);
    EXPECT_EQ(list.GetCount(), 0);
    delete pNode;
}

TEST(TriangleListTest, MoveToTailKeepsTheTriangle)
{
    Triangle a, b, c, d;
    TriangleList from, to;
    from.Append(&a);
    from.Append(&b);
    from.Append(&c);
    to.Append(&d);
    TriangleNode* pMiddle = from.GetFirst()->m_pNext;
    from.MoveToTail(pMiddle, to);
    EXPECT_EQ(Contents(from), (std::vector<Triangle*>{&a, &c}));
    EXPECT_EQ(Contents(to), (std::vector<Triangle*>{&d, &b}));
    EXPECT_EQ(to.GetLast(), pMiddle); // the same node, not a copy
    from.MoveToTail(from.GetFirst(), to);
    from.MoveToTail(from.GetFirst(), to);
    EXPECT_EQ(Contents(from), (std::vector<Triangle*>{}));
    EXPECT_EQ(Contents(to), (std::vector<Triangle*>{&d, &b, &a, &c}));
    to.FreeNodes();
}

TEST(TriangleListTest, FreeNodesLeavesTheTriangles)
{
    // The triangles live on the stack: freeing them through the list would
    // be caught at once (and by the sanitizers).
    Triangle a, b;
    a.m_pMaterial = nullptr;
    TriangleList list;
    list.Append(&a);
    list.Append(&b);
    list.FreeNodes();
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_EQ(list.GetFirst(), nullptr);
    EXPECT_EQ(list.GetLast(), nullptr);
    a.m_pMaterial = nullptr; // still ours to write
    list.FreeNodes();        // and again on an empty list
    EXPECT_EQ(list.GetCount(), 0);
}

} // namespace
