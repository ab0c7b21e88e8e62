// The pen scripts the programs meet on the real tablet stack, at a pen's
// rates: the Windows programs under Wine (tests/app/real_tablet_test.cpp) and
// the X11 programs (tests/x11/x11_real_tablet_test.cpp) play the same ones.
#pragma once

struct Scenario {
  const char* name;
  double rate;  // packets a second
  const char* script;
  int tablet = 1;  // 2: the stylus of the second tablet plays
};

// Far-apart strokes, one lifted abruptly and one slowly, with the pen out of
// proximity between them; the first rises from light to full pressure.
inline constexpr char kStrokes[] =
    "proximity in 120 140\n"
    "hover 6 120,140 100,100\n"
    "stroke 120 100,100 220,60 320,130 pressure 0.05 1 0.05\n"
    "hover 4 320,130 330,150\n"
    "proximity out\n"
    "wait 50\n"
    "proximity in 420 400\n"
    "hover 6 420,400 400,420\n"
    "stroke 100 400,420 470,520 540,430 pressure 0.6 0.9 0.7 hold\n"
    "lift 10\n"
    "hover 4 540,430 520,410\n"
    "proximity out\n";

inline constexpr Scenario kScenarios[] = {
    {"StrokesAt133", 133, kStrokes},
    {"StrokesAt200", 200, kStrokes},
    {"StrokesAt500", 500, kStrokes},
    // A barrel button pressed on the way leaves the stroke ending at the lift;
    // held at a touch-down it draws nothing, nor does the eraser end.
    {"BarrelButtonAndEraser", 200,
     "proximity in 100 150\n"
     "hover 4 100,150 100,160\n"
     "stroke 80 100,160 200,100 300,160 pressure 0.5 1 0.5 hold\n"
     "button 1 down\n"
     "lift\n"
     "hover 10 300,160 100,310\n"
     "stroke 80 100,310 200,250 300,310 pressure 0.5 1 0.5 hold\n"
     "lift\n"
     "button 1 up\n"
     "proximity out\n"
     "wait 50\n"
     "proximity in 100 400 eraser\n"
     "hover 4 100,400 100,410\n"
     "stroke 80 100,410 200,350 300,410 pressure 0.5 1 0.5\n"
     "proximity out\n"
     "wait 50\n"
     "proximity in 100 500\n"
     "hover 4 100,500 100,510\n"
     "stroke 80 100,510 200,450 300,510 pressure 0.5 1 0.5\n"
     "proximity out\n"},
    // A colour set on the picker between two strokes: the first keeps its own.
    {"ColourSetBetweenStrokes", 200,
     "proximity in 100 200\n"
     "hover 4 100,200 100,210\n"
     "stroke 80 100,210 250,150 400,210 pressure 0.6 1 0.6\n"
     "proximity out\n"
     "wait 50\n"
     "drag red 0 220\n"
     "wait 100\n"
     "proximity in 100 300\n"
     "hover 4 100,300 100,310\n"
     "stroke 80 100,310 250,250 400,310 pressure 0.6 1 0.6\n"
     "proximity out\n"},
    // The pen comes in below the window and hovers into the canvas.
    {"EnteringOutsideAndHoveringIn", 200,
     "proximity in 300 690\n"
     "hover 40 300,690 300,450\n"
     "stroke 80 300,450 380,380 460,450 pressure 0.6 1 0.6\n"
     "proximity out\n"},
    // The pen of a second tablet: Wine numbers its cursors on from the first
    // tablet's, in threes (puck, pen, eraser), so its stylus is cursor 4.
    {"SecondTabletsPen", 200,
     "proximity in 150 200\n"
     "hover 4 150,200 150,210\n"
     "stroke 100 150,210 300,150 450,210 pressure 0.5 1 0.5\n"
     "proximity out\n",
     2},
};
