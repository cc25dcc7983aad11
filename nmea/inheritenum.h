#pragma once

// An enum key that accepts the values of two enums, so that one set of accessors serves both.
template <typename EnumT, typename BaseEnumT> class InheritEnum
{
public:
    constexpr InheritEnum(EnumT value) : m_value(static_cast<int>(value)) {}
    constexpr InheritEnum(BaseEnumT value) : m_value(static_cast<int>(value)) {}

    constexpr operator int() const { return m_value; }

private:
    int m_value;
};
