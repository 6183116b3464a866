#pragma once

// How one part of the cylinder bar (the filled part or the empty part) turns its base colour
// into shades: how strongly the colour is brightened and how fast the shade falls off away
// from the light line. A style belongs to one TProgressCyl and tells it about every accepted
// change; a style made without an owner serves as a set of values to copy from.

#include <QtGlobal>

class TProgressCyl;

class TPCColorStyle
{
public:
    explicit TPCColorStyle(TProgressCyl *owner = nullptr) : m_owner(owner) {}
    TPCColorStyle(const TPCColorStyle &) = delete;
    TPCColorStyle &operator=(const TPCColorStyle &) = delete;

    // Copies the seven values one by one through their setters.
    void Assign(const TPCColorStyle &source);

    qint32 IntensityRGB() const { return m_intensityRGB; }
    float Intensity() const { return m_intensity; }
    float IntensityFactor() const { return m_intensityFactor; }
    qint32 RangeRGB() const { return m_rangeRGB; }
    qint32 ColorRGB() const { return m_colorRGB; }
    float ColorFactor() const { return m_colorFactor; }
    float LightAngle() const { return m_lightAngle; }

    // Each setter ignores an unchanged value; Intensity, RangeRGB and LightAngle also ignore 0.
    void SetIntensityRGB(qint32 value);
    void SetIntensity(float value);
    void SetIntensityFactor(float value);
    void SetRangeRGB(qint32 value);
    void SetColorRGB(qint32 value);
    void SetColorFactor(float value);
    void SetLightAngle(float value);

private:
    void Changed();

    TProgressCyl *m_owner;
    qint32 m_intensityRGB = 255;
    float m_intensity = 4.0f;
    float m_intensityFactor = -1.0f;
    qint32 m_rangeRGB = 255;
    qint32 m_colorRGB = 255;
    float m_colorFactor = -1.0f;
    float m_lightAngle = -3.0f;
};
