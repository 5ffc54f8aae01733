// Names and texts here are kept as the instruments' users know them: ARCHITECTURE.md, "Kept as they are".
#include "scope/learn_string.h"

namespace bc {

const char sampleLearnString[] =
    ":DISPlay:WAVeform 12340;ACCumulate 0;CONTrast 20;GRATicule 0;"
    ":CHANnel1:DISPlay 1;BWLimit 0;COUPling 0;INVert 0;OFFSet 2.000e+00;PROBe 0;SCALe 2.000e+00;"
    ":CHANnel2:DISPlay 1;BWLimit 0;COUPling 0;INVert 0;OFFSet 2.000e+00;PROBe 0;SCALe 2.000e+00;"
    ":CHANnel1:MATH 0;"
    ":TIMebase:SWEep 0;SCALe 2.500e-06;DELay 0.000e+00;WINDow:SCALe 2.500E-07;DELay 0.000E+00;"
    ":ACQuire:MODe 0;AVERage 0;"
    ":TRIGger:TYPe 0;SOURce 0;MODe 1;SLOP 0;COUPle 1;REJect 0;NREJ 0;LEVel 0.000E+00;"
    "PULSe:MODe: 0;TIMe 0.000E+00;"
    ":VIDeo:TYPe 1;POLarity 0;FIELd 0;LINe 0;"
    ":CURSor:SOURce 1;XDISPlay 0;X1Position 75;X2Position 175;YDISPlay 0;Y1Position 54;"
    "Y2Position 154;"
    ":REF1:DISPlay 0;LOCate 50;:REF2:DISPlay 0;LOCate -50;:RUN";

static_assert(sizeof(sampleLearnString) == 678 + 1, "the sample is 678 characters");

}  // namespace bc
