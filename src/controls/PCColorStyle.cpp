#include "PCColorStyle.h"

#include "ProgressCyl.h"

void TPCColorStyle::Assign(const TPCColorStyle &source)
{
    SetIntensityRGB(source.m_intensityRGB);
    SetIntensity(source.m_intensity);
    SetIntensityFactor(source.m_intensityFactor);
    SetRangeRGB(source.m_rangeRGB);
    SetColorRGB(source.m_colorRGB);
    SetColorFactor(source.m_colorFactor);
    SetLightAngle(source.m_lightAngle);
}

void TPCColorStyle::SetIntensityRGB(qint32 value)
{
    if (value == m_intensityRGB)
        return;
    m_intensityRGB = value;
    Changed();
}

void TPCColorStyle::SetIntensity(float value)
{
    if (value == m_intensity || value == 0.0f)
        return;
    m_intensity = value;
    Changed();
}

void TPCColorStyle::SetIntensityFactor(float value)
{
    if (value == m_intensityFactor)
        return;
    m_intensityFactor = value;
    Changed();
}

void TPCColorStyle::SetRangeRGB(qint32 value)
{
    if (value == m_rangeRGB || value == 0)
        return;
    m_rangeRGB = value;
    Changed();
}

void TPCColorStyle::SetColorRGB(qint32 value)
{
    if (value == m_colorRGB)
        return;
    m_colorRGB = value;
    Changed();
}

void TPCColorStyle::SetColorFactor(float value)
{
    if (value == m_colorFactor)
        return;
    m_colorFactor = value;
    Changed();
}

void TPCColorStyle::SetLightAngle(float value)
{
    if (value == m_lightAngle || value == 0.0f)
        return;
    m_lightAngle = value;
    Changed();
}

void TPCColorStyle::Changed()
{
    if (m_owner)
        m_owner->StyleChanged();
}
