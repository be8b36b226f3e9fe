#pragma once

#include "photo/ClothPlane.h"

#include <QImage>

namespace loomara::photo {

// The width of a thread across (a warp end) and down (a weft pick), in units of the cloth's plane,
// from the diagonal lines of the 2/2 twill, which repeat every four threads; unseen when the twill
// cannot be told from the noise (threads too fine, blurred or compressed away).
struct TwillPitch {
    double across = 0;
    double down = 0;
    // How far the twill's peak in the spectrum stands above the rest of it.
    double strength = 0;
    bool seen = false;
};

// The profiles (linear light, as read) tell the colours of the threads, so that the twill, which
// shows where an end and a pick of different colours cross, is seen at its full strength.
TwillPitch findTwillPitch(const QImage& picture, const ClothPlane& plane, const Profiles& profiles);

// A column's mean holds half its end's colour and half the mean of the picks that pass over it,
// and which picks those are turns with the twill: the profile ripples every four threads wherever
// the picks are not of one colour. Takes that ripple out of the bins [first, end), the threads
// being threadWidth bins wide; a ripple too weak to find is left alone.
void removeTwillRipple(Profile& profile, int first, int end, double threadWidth);

} // namespace loomara::photo
