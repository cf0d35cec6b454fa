#include "dynamics/constraint.h"

int phConstraint::Init() {
    m_body0 = nullptr;
    m_body1 = nullptr;
    m_userData = nullptr;
    link = nullptr;
    islandMark = 0;
    serial = 0;
    m_maxRowCount = 6;
    m_kind = kJointUnset;
    return 0;
}
