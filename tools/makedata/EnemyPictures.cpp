#include "EnemyPictures.h"

#include <cmath>
#include <vector>

#include "ArtKit.h"

namespace {

const float kPi = 3.14159265f;
const RGBF kInk = {24, 20, 32};

// A kind's colours, shifted a little per stage so each stage's squadrons look their own.
struct HULL {
    RGBF body, dark, light, glow;
};

HULL Hull(uint32_t body, uint32_t glow, int nStage)
{
    const RGBF b = Mix(Rgb(body), Rgb(0x808080), 0.08f * (float)(nStage - 1));
    return HULL{b, Scale(b, 0.55f), Mix(b, RGBF{255, 255, 255}, 0.45f), Rgb(glow)};
}

void Outlined(CArtKit& kit, const std::vector<PTF>& pts, const PAINT& paint)
{
    kit.Polygon(pts, paint);
    kit.PolygonOutline(pts, 1.5f, Flat(kInk));
}

void Canopy(CArtKit& kit, float cx, float cy, float rx, float ry, const RGBF& glow)
{
    kit.Ball(cx, cy, rx, ry, glow);
    kit.EllipseOutline(cx, cy, rx, ry, 1.2f, Flat(kInk));
}

void Engine(CArtKit& kit, float x, float cy, float r)
{
    kit.Ellipse(x, cy, r * 1.4f, r, RadialGradient(x, cy, r * 1.4f, Rgb(0xFFF0A0), Rgb(0xF06018)));
}

// A1: a small fighter, nose to the left, swept wings and one engine.
std::vector<uint8_t> Fighter(const HULL& h, int w, int hgt, bool bGunship)
{
    CCanvas c(w, hgt);
    CArtKit kit(c);
    const float W = (float)w, H = (float)hgt, cy = H * 0.5f;
    Engine(kit, W - 5.0f, cy, H * 0.16f);
    Outlined(kit, {{W * 0.45f, cy}, {W * 0.78f, 2.0f}, {W * 0.9f, 2.0f}, {W * 0.75f, cy}},
             VerticalGradient(2.0f, h.light, cy, h.dark));
    Outlined(kit, {{W * 0.45f, cy}, {W * 0.75f, cy}, {W * 0.9f, H - 2.0f}, {W * 0.78f, H - 2.0f}},
             VerticalGradient(cy, h.body, H, h.dark));
    Outlined(kit, {{2.0f, cy}, {W * 0.3f, cy - H * 0.2f}, {W - 7.0f, cy - H * 0.16f}, {W - 7.0f, cy + H * 0.16f},
                   {W * 0.3f, cy + H * 0.2f}},
             VerticalGradient(cy - H * 0.2f, h.light, cy + H * 0.2f, h.dark));
    Canopy(kit, W * 0.35f, cy - 1.0f, W * 0.1f, H * 0.1f, h.glow);
    if (bGunship) {
        kit.RoundBox(W * 0.12f, cy + H * 0.16f, W * 0.36f, H * 0.14f, 2.0f, Flat(Rgb(0x404048)));
        kit.RoundBoxOutline(W * 0.12f, cy + H * 0.16f, W * 0.36f, H * 0.14f, 2.0f, 1.0f, Flat(kInk));
    }
    return c.ToBmp24();
}

// A0: a round drone with a single lens and two stub fins.
std::vector<uint8_t> Drone(const HULL& h, int w, int hgt)
{
    CCanvas c(w, hgt);
    CArtKit kit(c);
    const float W = (float)w, H = (float)hgt, cx = W * 0.5f, cy = H * 0.5f;
    Outlined(kit, {{cx, cy}, {W - 2.0f, 2.0f}, {W - 6.0f, cy}}, Flat(h.dark));
    Outlined(kit, {{cx, cy}, {W - 6.0f, cy}, {W - 2.0f, H - 2.0f}}, Flat(h.dark));
    kit.Ball(cx - 2.0f, cy, W * 0.32f, H * 0.4f, h.body);
    kit.EllipseOutline(cx - 2.0f, cy, W * 0.32f, H * 0.4f, 1.5f, Flat(kInk));
    Canopy(kit, cx - W * 0.16f, cy, W * 0.09f, W * 0.09f, h.glow);
    return c.ToBmp24();
}

// B1: a ring unit, a ball with four spikes.
std::vector<uint8_t> Orb(const HULL& h, int n)
{
    CCanvas c(n, n);
    CArtKit kit(c);
    const float r = (float)n * 0.5f;
    for (int i = 0; i < 4; i++) {
        const float a = kPi * 0.25f + (float)i * kPi * 0.5f;
        const float ca = std::cos(a), sa = std::sin(a);
        Outlined(kit, {{r + ca * (r - 1.5f), r + sa * (r - 1.5f)}, {r - sa * 5.0f, r + ca * 5.0f}, {r + sa * 5.0f, r - ca * 5.0f}},
                 Flat(h.dark));
    }
    kit.Ball(r, r, r * 0.62f, r * 0.62f, h.body);
    kit.EllipseOutline(r, r, r * 0.62f, r * 0.62f, 1.5f, Flat(kInk));
    Canopy(kit, r - 2.0f, r - 1.0f, r * 0.2f, r * 0.2f, h.glow);
    return c.ToBmp24();
}

// B2: the centre core, an armoured sphere with a big eye and plates.
std::vector<uint8_t> Core(const HULL& h, int n)
{
    CCanvas c(n, n);
    CArtKit kit(c);
    const float r = (float)n * 0.5f;
    kit.Ball(r, r, r - 1.5f, r - 1.5f, h.dark);
    kit.EllipseOutline(r, r, r - 1.5f, r - 1.5f, 1.5f, Flat(kInk));
    for (int i = 0; i < 6; i++) {
        const float a = (float)i * kPi / 3.0f;
        kit.Stroke(r + std::cos(a) * r * 0.45f, r + std::sin(a) * r * 0.45f, r + std::cos(a) * (r - 4.0f),
                   r + std::sin(a) * (r - 4.0f), 2.0f, Flat(kInk));
    }
    kit.Ball(r, r, r * 0.5f, r * 0.5f, h.body);
    kit.EllipseOutline(r, r, r * 0.5f, r * 0.5f, 1.5f, Flat(kInk));
    kit.Ellipse(r - 3.0f, r, r * 0.24f, r * 0.3f, RadialGradient(r - 4.0f, r - 2.0f, r * 0.3f, RGBF{255, 255, 230}, h.glow));
    kit.Ellipse(r - 5.0f, r, 2.5f, 4.0f, Flat(kInk));
    return c.ToBmp24();
}

// F: a saucer interceptor; bArmed adds a gun pod, bHeavy a second hull ring.
std::vector<uint8_t> Saucer(const HULL& h, int w, int hgt, bool bArmed, bool bHeavy)
{
    CCanvas c(w, hgt);
    CArtKit kit(c);
    const float W = (float)w, H = (float)hgt, cx = W * 0.5f, cy = H * 0.58f;
    if (bArmed) {
        kit.RoundBox(2.0f, cy - 2.0f, W * 0.45f, 5.0f, 2.0f, Flat(Rgb(0x383840)));
        kit.RoundBoxOutline(2.0f, cy - 2.0f, W * 0.45f, 5.0f, 2.0f, 1.0f, Flat(kInk));
    }
    kit.Ellipse(cx, cy, W * 0.46f, H * 0.26f, VerticalGradient(cy - H * 0.26f, h.light, cy + H * 0.26f, h.dark));
    kit.EllipseOutline(cx, cy, W * 0.46f, H * 0.26f, 1.5f, Flat(kInk));
    if (bHeavy)
        kit.EllipseOutline(cx, cy, W * 0.32f, H * 0.15f, 2.0f, Flat(h.glow));
    Canopy(kit, cx, cy - H * 0.22f, W * 0.2f, H * 0.24f, Mix(h.glow, RGBF{255, 255, 255}, 0.2f));
    for (int i = 0; i < 3; i++)
        kit.Ellipse(cx - W * 0.25f + (float)i * W * 0.25f, cy + H * 0.08f, 2.0f, 2.0f, Flat(Rgb(0xFFF080)));
    return c.ToBmp24();
}

// F0: a dart-shaped diver.
std::vector<uint8_t> Dart(const HULL& h, int w, int hgt)
{
    CCanvas c(w, hgt);
    CArtKit kit(c);
    const float W = (float)w, H = (float)hgt, cy = H * 0.5f;
    Engine(kit, W - 4.0f, cy, H * 0.14f);
    Outlined(kit, {{2.0f, cy}, {W * 0.7f, 2.0f}, {W - 6.0f, 4.0f}, {W * 0.8f, cy}, {W - 6.0f, H - 4.0f}, {W * 0.7f, H - 2.0f}},
             VerticalGradient(2.0f, h.light, H, h.dark));
    kit.Stroke(W * 0.2f, cy, W * 0.75f, cy, 3.0f, Flat(Rgb(0x202020)));
    Canopy(kit, W * 0.38f, cy, W * 0.08f, H * 0.12f, h.glow);
    return c.ToBmp24();
}

// G1: a falling bomb with tail fins, nose down.
std::vector<uint8_t> Bomb(const HULL& h, int n)
{
    CCanvas c(n, n);
    CArtKit kit(c);
    const float r = (float)n * 0.5f;
    Outlined(kit, {{r - 2.0f, r * 0.5f}, {r - 10.0f, 2.0f}, {r + 10.0f, 2.0f}, {r + 2.0f, r * 0.5f}}, Flat(h.dark));
    kit.Ball(r, r + 3.0f, r * 0.55f, r * 0.7f, h.body);
    kit.EllipseOutline(r, r + 3.0f, r * 0.55f, r * 0.7f, 1.5f, Flat(kInk));
    kit.Stroke(r - r * 0.5f, r + 3.0f, r + r * 0.5f, r + 3.0f, 2.5f, Flat(Rgb(0xF0C020)));
    return c.ToBmp24();
}

// G2: the long carrier with bomb bays underneath.
std::vector<uint8_t> Carrier(const HULL& h, int w, int hgt)
{
    CCanvas c(w, hgt);
    CArtKit kit(c);
    const float W = (float)w, H = (float)hgt;
    Engine(kit, W - 6.0f, H * 0.4f, H * 0.12f);
    Outlined(kit, {{2.0f, H * 0.45f}, {W * 0.12f, H * 0.12f}, {W - 10.0f, H * 0.15f}, {W - 10.0f, H * 0.7f}, {W * 0.1f, H * 0.8f}},
             VerticalGradient(H * 0.12f, h.light, H * 0.8f, h.dark));
    Outlined(kit, {{W * 0.6f, H * 0.15f}, {W * 0.72f, 2.0f}, {W * 0.86f, 2.0f}, {W * 0.84f, H * 0.15f}}, Flat(h.body));
    for (int i = 0; i < 6; i++) {
        const float x = W * 0.15f + (float)i * W * 0.12f;
        kit.RoundBox(x, H * 0.72f, W * 0.08f, H * 0.2f, 2.0f, Flat(Rgb(0x303038)));
        kit.RoundBoxOutline(x, H * 0.72f, W * 0.08f, H * 0.2f, 2.0f, 1.0f, Flat(kInk));
    }
    for (int i = 0; i < 8; i++)
        kit.Ellipse(W * 0.2f + (float)i * W * 0.08f, H * 0.35f, 2.0f, 2.0f, Flat(h.glow));
    Canopy(kit, W * 0.14f, H * 0.36f, W * 0.05f, H * 0.1f, h.glow);
    return c.ToBmp24();
}

// G0: a spinning four-bladed star.
std::vector<uint8_t> Blade(const HULL& h, int n)
{
    CCanvas c(n, n);
    CArtKit kit(c);
    const float r = (float)n * 0.5f;
    for (int i = 0; i < 4; i++) {
        const float a = (float)i * kPi * 0.5f, b = a + 0.6f;
        Outlined(kit, {{r, r}, {r + std::cos(a) * (r - 1.5f), r + std::sin(a) * (r - 1.5f)}, {r + std::cos(b) * r * 0.45f, r + std::sin(b) * r * 0.45f}},
                 Flat(i % 2 ? h.light : h.body));
    }
    kit.Ball(r, r, r * 0.3f, r * 0.3f, h.dark);
    kit.EllipseOutline(r, r, r * 0.3f, r * 0.3f, 1.2f, Flat(kInk));
    kit.Ellipse(r, r, 2.5f, 2.5f, Flat(h.glow));
    return c.ToBmp24();
}

// C: a bat-winged swooper, two frames side by side: wings raised, then lowered.
void SwooperFrame(CArtKit& kit, const HULL& h, float ox, float W, float H, bool bRaised)
{
    const float cx = ox + W * 0.5f, cy = H * 0.5f;
    const float tip = bRaised ? 2.0f : H - 2.0f, root = bRaised ? cy - 2.0f : cy + 2.0f;
    Outlined(kit, {{cx - W * 0.1f, root}, {ox + W * 0.3f, tip}, {ox + W * 0.62f, tip + (bRaised ? 4.0f : -4.0f)}, {cx + W * 0.18f, root}},
             VerticalGradient(0.0f, h.light, H, h.dark));
    kit.Ball(cx, cy, W * 0.3f, H * 0.22f, h.body);
    kit.EllipseOutline(cx, cy, W * 0.3f, H * 0.22f, 1.5f, Flat(kInk));
    Outlined(kit, {{ox + 2.0f, cy}, {cx - W * 0.22f, cy - 4.0f}, {cx - W * 0.22f, cy + 4.0f}}, Flat(h.dark));
    Canopy(kit, cx - W * 0.12f, cy - 1.0f, W * 0.08f, H * 0.1f, h.glow);
    Engine(kit, ox + W - 5.0f, cy, H * 0.1f);
}

std::vector<uint8_t> Swooper(const HULL& h, int w, int hgt)
{
    CCanvas c(w * 2, hgt);
    CArtKit kit(c);
    SwooperFrame(kit, h, 0.0f, (float)w, (float)hgt, true);
    SwooperFrame(kit, h, (float)w, (float)w, (float)hgt, false);
    return c.ToBmp24();
}

// H: a heavy interceptor with forward retro-thrusters that brake it.
std::vector<uint8_t> Braker(const HULL& h, int w, int hgt)
{
    CCanvas c(w, hgt);
    CArtKit kit(c);
    const float W = (float)w, H = (float)hgt, cy = H * 0.5f;
    Engine(kit, W - 5.0f, cy, H * 0.14f);
    Outlined(kit, {{4.0f, cy}, {W * 0.25f, 3.0f}, {W - 8.0f, 6.0f}, {W - 8.0f, H - 6.0f}, {W * 0.25f, H - 3.0f}},
             VerticalGradient(3.0f, h.light, H - 3.0f, h.dark));
    for (float y : {4.0f, H - 10.0f}) {
        kit.RoundBox(W * 0.1f, y, W * 0.22f, 6.0f, 2.0f, Flat(Rgb(0x3C3C44)));
        kit.RoundBoxOutline(W * 0.1f, y, W * 0.22f, 6.0f, 2.0f, 1.0f, Flat(kInk));
        kit.Ellipse(W * 0.1f, y + 3.0f, 2.5f, 2.5f, Flat(Rgb(0xFFA040)));
    }
    Canopy(kit, W * 0.45f, cy, W * 0.12f, H * 0.16f, h.glow);
    return c.ToBmp24();
}

// J: a hovering gun platform with a downward fin and twin barrels; bHeavy adds a third barrel.
std::vector<uint8_t> Hover(const HULL& h, int w, int hgt, bool bHeavy)
{
    CCanvas c(w, hgt);
    CArtKit kit(c);
    const float W = (float)w, H = (float)hgt, cx = W * 0.5f, cy = H * 0.45f;
    const int nBarrels = bHeavy ? 3 : 2;
    for (int i = 0; i < nBarrels; i++) {
        const float y = cy - 5.0f + (float)i * 10.0f / (float)(nBarrels - 1);
        kit.RoundBox(2.0f, y - 1.5f, W * 0.4f, 3.0f, 1.0f, Flat(Rgb(0x303038)));
    }
    Outlined(kit, {{cx - 4.0f, cy}, {cx + 4.0f, cy}, {cx + 8.0f, H - 2.0f}, {cx - 2.0f, H - 2.0f}}, Flat(h.dark));
    kit.Ellipse(cx, cy, W * 0.38f, H * 0.3f, VerticalGradient(cy - H * 0.3f, h.light, cy + H * 0.3f, h.dark));
    kit.EllipseOutline(cx, cy, W * 0.38f, H * 0.3f, 1.5f, Flat(kInk));
    Canopy(kit, cx - W * 0.1f, cy - 2.0f, W * 0.1f, H * 0.12f, h.glow);
    kit.Ellipse(W - 6.0f, cy, 3.0f, 5.0f, RadialGradient(W - 6.0f, cy, 5.0f, Rgb(0xFFFFFF), h.glow));
    return c.ToBmp24();
}

// L: a laser gunship with a long emitter barrel and a lens at its muzzle.
std::vector<uint8_t> Lancer(const HULL& h, int w, int hgt)
{
    CCanvas c(w, hgt);
    CArtKit kit(c);
    const float W = (float)w, H = (float)hgt, cy = H * 0.5f;
    Engine(kit, W - 5.0f, cy, H * 0.14f);
    Outlined(kit, {{W * 0.3f, cy - H * 0.3f}, {W - 8.0f, 3.0f}, {W - 8.0f, H - 3.0f}, {W * 0.3f, cy + H * 0.3f}},
             VerticalGradient(3.0f, h.light, H - 3.0f, h.dark));
    kit.RoundBox(4.0f, cy - 4.0f, W * 0.5f, 8.0f, 3.0f, VerticalGradient(cy - 4.0f, Rgb(0xB0B8C0), cy + 4.0f, Rgb(0x404850)));
    kit.RoundBoxOutline(4.0f, cy - 4.0f, W * 0.5f, 8.0f, 3.0f, 1.0f, Flat(kInk));
    kit.Ellipse(6.0f, cy, 5.0f, 5.0f, RadialGradient(5.0f, cy - 1.0f, 5.0f, Rgb(0xFFFFFF), h.glow));
    Canopy(kit, W * 0.62f, cy, W * 0.08f, H * 0.14f, h.glow);
    return c.ToBmp24();
}

// M: a missile carrier with two racks of four warheads.
std::vector<uint8_t> Launcher(const HULL& h, int w, int hgt)
{
    CCanvas c(w, hgt);
    CArtKit kit(c);
    const float W = (float)w, H = (float)hgt, cy = H * 0.5f;
    kit.RoundBox(4.0f, H * 0.2f, W - 10.0f, H * 0.6f, 6.0f, VerticalGradient(H * 0.2f, h.light, H * 0.8f, h.dark));
    kit.RoundBoxOutline(4.0f, H * 0.2f, W - 10.0f, H * 0.6f, 6.0f, 1.5f, Flat(kInk));
    for (int r = 0; r < 2; r++) {
        const float y = r ? H - 7.0f : 2.0f;
        for (int i = 0; i < 4; i++) {
            const float x = W * 0.2f + (float)i * W * 0.15f;
            Outlined(kit, {{x, y + 2.5f}, {x + 4.0f, y}, {x + W * 0.12f, y}, {x + W * 0.12f, y + 5.0f}, {x + 4.0f, y + 5.0f}},
                     Flat(Rgb(0xE0E0D8)));
        }
    }
    Canopy(kit, W * 0.25f, cy, W * 0.1f, H * 0.14f, h.glow);
    Engine(kit, W - 5.0f, cy, H * 0.12f);
    return c.ToBmp24();
}

// N: a squat turret pod with a wide four-mouthed muzzle.
std::vector<uint8_t> Spreader(const HULL& h, int n)
{
    CCanvas c(n, n);
    CArtKit kit(c);
    const float r = (float)n * 0.5f;
    Outlined(kit, {{2.0f, r - r * 0.6f}, {r, r - r * 0.3f}, {r, r + r * 0.3f}, {2.0f, r + r * 0.6f}}, Flat(h.dark));
    for (int i = 0; i < 4; i++)
        kit.Ellipse(4.0f, r - r * 0.45f + (float)i * r * 0.3f, 2.0f, 2.0f, Flat(Rgb(0xFFE060)));
    kit.Ball(r + 3.0f, r, r * 0.6f, r * 0.6f, h.body);
    kit.EllipseOutline(r + 3.0f, r, r * 0.6f, r * 0.6f, 1.5f, Flat(kInk));
    Canopy(kit, r, r - 2.0f, r * 0.2f, r * 0.2f, h.glow);
    return c.ToBmp24();
}

// P: a tracked crawler hauling a glowing power capsule on its back.
// A tall carrier: it stands centred on the top of its cell, so a picture two cells high puts its
// treads on the ground. The power pod rides on a mast above the hull.
std::vector<uint8_t> Crawler(const HULL& h, int w, int hgt)
{
    CCanvas c(w, hgt);
    CArtKit kit(c);
    const float W = (float)w, H = (float)hgt;
    const float fTread = H - 24.0f, fHull = fTread - 28.0f, fPod = fHull - 56.0f;
    kit.RoundBox(W * 0.44f, fPod, W * 0.12f, fHull - fPod + 4.0f, 2.0f, VerticalGradient(fPod, h.light, fHull, h.dark));
    kit.RoundBoxOutline(W * 0.44f, fPod, W * 0.12f, fHull - fPod + 4.0f, 2.0f, 1.2f, Flat(kInk));
    kit.Ball(W * 0.5f, fPod, W * 0.22f, 14.0f, h.glow);
    kit.EllipseOutline(W * 0.5f, fPod, W * 0.22f, 14.0f, 1.5f, Flat(kInk));
    kit.Ellipse(W * 0.45f, fPod - 5.0f, W * 0.06f, 4.0f, Flat(Rgb(0xFFFFFF)));
    kit.RoundBox(4.0f, fHull, W - 8.0f, 28.0f, 4.0f, VerticalGradient(fHull, h.light, fTread, h.dark));
    kit.RoundBoxOutline(4.0f, fHull, W - 8.0f, 28.0f, 4.0f, 1.5f, Flat(kInk));
    kit.RoundBox(2.0f, fTread, W - 4.0f, 22.0f, 10.0f, Flat(Rgb(0x303030)));
    kit.RoundBoxOutline(2.0f, fTread, W - 4.0f, 22.0f, 10.0f, 1.2f, Flat(kInk));
    for (int i = 0; i < 5; i++)
        kit.Ellipse(W * 0.14f + (float)i * W * 0.18f, fTread + 11.0f, 6.0f, 6.0f, Flat(Rgb(0x8C8C90)));
    return c.ToBmp24();
}

} // namespace

void WriteEnemyPictures(CDataSet& data, int nStage, const std::string& folder)
{
    const HULL red = Hull(0xC83830, 0x80E0FF, nStage);
    const HULL violet = Hull(0x7040A8, 0xFFE060, nStage);
    const HULL olive = Hull(0x788858, 0xFF5040, nStage);
    data.Write(folder + "EnemyA1.bmp", Fighter(red, 48, 32, false));
    data.Write(folder + "EnemyA2.bmp", Fighter(violet, 56, 36, true));
    data.Write(folder + "EnemyA0.bmp", Drone(olive, 40, 28));
    const HULL cyan = Hull(0x30A0C0, 0xFFFFFF, nStage);
    const HULL orange = Hull(0xE07820, 0xFF3030, nStage);
    data.Write(folder + "EnemyB1.bmp", Orb(cyan, 32));
    data.Write(folder + "EnemyB2.bmp", Core(orange, 48));
    const HULL blue = Hull(0x3858C8, 0x90FFB0, nStage);
    const HULL magenta = Hull(0xC03890, 0xA0F0FF, nStage);
    const HULL yellow = Hull(0xD8B020, 0xFF4020, nStage);
    data.Write(folder + "EnemyF1a.bmp", Saucer(blue, 48, 36, false, false));
    data.Write(folder + "EnemyF1b.bmp", Saucer(blue, 48, 36, true, false));
    data.Write(folder + "EnemyF2a.bmp", Saucer(magenta, 56, 40, false, true));
    data.Write(folder + "EnemyF2b.bmp", Saucer(magenta, 56, 40, true, true));
    data.Write(folder + "EnemyF0.bmp", Dart(yellow, 48, 28));
    const HULL steel = Hull(0x607080, 0xFF6040, nStage);
    const HULL green = Hull(0x408848, 0xFFE080, nStage);
    const HULL rust = Hull(0xA05830, 0x80FFFF, nStage);
    data.Write(folder + "EnemyG1.bmp", Bomb(steel, 32));
    data.Write(folder + "EnemyG2.bmp", Carrier(green, 160, 48));
    data.Write(folder + "EnemyG0.bmp", Blade(rust, 40));
    data.Write(folder + "EnemyC1.bmp", Swooper(Hull(0x8848B0, 0xFF70D0, nStage), 48, 40));
    data.Write(folder + "EnemyH1.bmp", Braker(Hull(0xB0A090, 0xFF3838, nStage), 52, 34));
    data.Write(folder + "EnemyJ1.bmp", Hover(Hull(0x48A070, 0xFFF060, nStage), 44, 36, false));
    data.Write(folder + "EnemyJ2.bmp", Hover(Hull(0x2C7890, 0xFF6080, nStage), 52, 40, true));
    data.Write(folder + "EnemyL1.bmp", Lancer(Hull(0x405070, 0x60E0FF, nStage), 64, 36));
    data.Write(folder + "EnemyM1.bmp", Launcher(Hull(0x6C7840, 0xFFB040, nStage), 64, 44));
    data.Write(folder + "EnemyN1.bmp", Spreader(Hull(0xC05048, 0xFFFF80, nStage), 44));
    data.Write(folder + "P1.bmp", Crawler(Hull(0x806040, 0x40C0FF, nStage), 56, 128));
    data.Write(folder + "P2.bmp", Crawler(Hull(0x505868, 0xFF60C0, nStage), 56, 128));
}
