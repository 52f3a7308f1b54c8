// Captions of the 83 PS-field check boxes of the PS-Field Configuration window,
// each the field number, a full stop, a blank and the field's name, and the
// window's file texts, which stay English in both languages.
#include "core/MessageTable.h"

const LangText TxtPs01ErrorStatusFlags{"1. Error - Status flags",
    "1. Fehler-Statusflags"};
const LangText TxtPs02VoltagePhaseN{"2. Voltage between phase and N",
    "2. Primärseitige Spannung zwischen Phase und N"};
const LangText TxtPs03Voltage{"3. Voltage between phases",
    "3. Primärseitige Spannung zwischen den Phasen"};
const LangText TxtPs04THDVoltages{"4. THD Voltages",
    "4. THD Spannung"};
const LangText TxtPs05Currents{"5. Currents",
    "5. Primärseitige Ströme"};
const LangText TxtPs06THDCurrents{"6. THD Currents",
    "6. THD Strom"};
const LangText TxtPs07Frequency{"7. Frequency",
    "7. Frequenz"};
const LangText TxtPs08PrimaryInstantaneousPower{"8. Primary instantaneous power",
    "8. Primäre Wirkleistung – Summe"};
const LangText TxtPs09PrimaryReactivePower{"9. Primary reactive power",
    "9. Primäre Blindleistung – Summe"};
const LangText TxtPs10PerformanceFactors{"10. Performance factors",
    "10. Leistungsfaktoren (PF)"};
const LangText TxtPs11SecondaryInstantaneousPower{"11. Secondary instantaneous power",
    "11. Sekundäre Wirkleistung"};
const LangText TxtPs12DemandPeriod{"12. Demand period",
    "12. Zählerstandsgang Registrierperiode"};
const LangText TxtPs13DateTime{"13. Date, Time",
    "13. Datum, Uhrzeit"};
const LangText TxtPs14TotalActiveEnergy{"14. Total active energy",
    "14. Wirkenergie gesamt (aller Tarife)"};
const LangText TxtPs15TotalReactiveEnergy{"15. Total reactive energy",
    "15. Bindenergie gesamt (aller Tarife)"};
const LangText TxtPs16DisplaysActiveTariff{"16. Displays active tariff",
    "16. Zeigt den aktiven Tarif"};
const LangText TxtPs17ActiveEnergyActiveTariff{"17. Active energy of all phases of the active tariff",
    "17. Wirkenergie des aktiven Tarifs"};
const LangText TxtPs18ReactiveEnergyActiveTariff{"18. Reactive energy of all phases of the active tariff",
    "18. Blindenergie des aktiven Tarifs"};
const LangText TxtPs19ActiveEnergyTariff1{"19. Active energy of all phases of tariff No.1",
    "19. Tarif 1 Wirkenergie"};
const LangText TxtPs20ReactiveEnergyTariff1{"20. Reactive energy of all phases of tariff No.1",
    "20. Tarif 1 Blindenergie"};
const LangText TxtPs21ActiveEnergyTariff2{"21. Active energy of all phases of tariff No.2",
    "21. Tarif 2 Wirkenergie"};
const LangText TxtPs22ReactiveEnergyTariff2{"22. Reactive energy of all phases of tariff No.2",
    "22. Tarif 2 Blindenergie"};
const LangText TxtPs23ActiveEnergyTariff3{"23. Active energy of all phases of tariff No.3",
    "23. Tarif 3 Wirkenergie"};
const LangText TxtPs24ReactiveEnergyTariff3{"24. Reactive energy of all phases of tariff No.3",
    "24. Tarif 3 Blindenergie"};
const LangText TxtPs25ActiveEnergyTariff4{"25. Active energy of all phases of tariff No.4",
    "25. Tarif 4 Wirkenergie"};
const LangText TxtPs26ReactiveEnergyTariff4{"26. Reactive energy of all phases of tariff No.4",
    "26. Tarif 4 Blindenergie"};
const LangText TxtPs27ActiveEnergyTariff5{"27. Active energy of all phases of tariff No.5",
    "27. Tarif 5 Wirkenergie"};
const LangText TxtPs28ReactiveEnergyTariff5{"28. Reactive energy of all phases of tariff No.5",
    "28. Tarif 5 Blindenergie"};
const LangText TxtPs29ActiveEnergyTariff6{"29. Active energy of all phases of tariff No.6",
    "29. Tarif 6 Wirkenergie"};
const LangText TxtPs30ReactiveEnergyTariff6{"30. Reactive energy of all phases of tariff No.6",
    "30. Tarif 6 Blindenergie"};
const LangText TxtPs31ActiveEnergyTariff7{"31. Active energy of all phases of tariff No.7",
    "31. Tarif 7 Wirkenergie"};
const LangText TxtPs32ReactiveEnergyTariff7{"32. Reactive energy of all phases of tariff No.7",
    "32. Tarif 7 Blindenergie"};
const LangText TxtPs33ActiveEnergyTariff8{"33. Active energy of all phases of tariff No.8",
    "33. Tarif 8 Wirkenergie"};
const LangText TxtPs34ReactiveEnergyTariff8{"34. Reactive energy of all phases of tariff No.8",
    "34. Tarif 8 Blindenergie"};
const LangText TxtPs35CTValue{"35. CT Value",
    "35. Stromtransformator-Verhältnis CT"};
const LangText TxtPs36VTValue{"36. VT Value",
    "36. Spannungstransformator-Verhältnis VT"};
const LangText TxtPs37ResetableActiveEnergyTariff1{"37. Resetable active energy of all pfases of tariff No.1",
    "37. Rückstellbare Wirkenergie von Tarif 1"};
const LangText TxtPs38ResetableReactiveEnergyTariff1{"38. Resetable reactive energy of all pfases of tariff No.1",
    "38. Rückstellbare Blindenergie von Tarif 1 "};
const LangText TxtPs39ResetableActiveEnergyTariff2{"39. Resetable active energy of all pfases of tariff No.2",
    "39. Rückstellbare Wirkenergie von Tarif 2"};
const LangText TxtPs40ResetableReactiveEnergyTariff2{"40. Resetable reactive energy of all pfases of tariff No.2",
    "40. Rückstellbare Blindenergie von Tarif 2"};
const LangText TxtPs41ResetableActiveEnergyTariff3{"41. Resetable active energy of all pfases of tariff No.3",
    "41. Rückstellbare Wirkenergie von Tarif 3"};
const LangText TxtPs42ResetableReactiveEnergyTariff3{"42. Resetable reactive energy of all pfases of tariff No.3",
    "42. Rückstellbare Blindenergie von Tarif 3"};
const LangText TxtPs43ResetableActiveEnergyTariff4{"43. Resetable active energy of all pfases of tariff No.4",
    "43. Rückstellbare Wirkenergie von Tarif 4"};
const LangText TxtPs44ResetableReactiveEnergyTariff4{"44. Resetable reactive energy of all pfases of tariff No.4",
    "44. Rückstellbare Blindenergie von Tarif 4"};
const LangText TxtPs45ResetableActiveEnergyTariff5{"45. Resetable active energy of all pfases of tariff No.5",
    "45. Rückstellbare Wirkenergie von Tarif 5"};
const LangText TxtPs46ResetableReactiveEnergyTariff5{"46. Resetable reactive energy of all pfases of tariff No.5",
    "46. Rückstellbare Blindenergie von Tarif 5"};
const LangText TxtPs47ResetableActiveEnergyTariff6{"47. Resetable active energy of all pfases of tariff No.6",
    "47. Rückstellbare Wirkenergie von Tarif 6"};
const LangText TxtPs48ResetableReactiveEnergyTariff6{"48. Resetable reactive energy of all pfases of tariff No.6",
    "48. Rückstellbare Blindenergie von Tarif 6"};
const LangText TxtPs49ResetableActiveEnergyTariff7{"49. Resetable active energy of all pfases of tariff No.7",
    "49. Rückstellbare Wirkenergie von Tarif 7"};
const LangText TxtPs50ResetableReactiveEnergyTariff7{"50. Resetable reactive energy of all pfases of tariff No.7",
    "50. Rückstellbare Blindenergie von Tarif 7"};
const LangText TxtPs51ResetableActiveEnergyTariff8{"51. Resetable active energy of all pfases of tariff No.8",
    "51. Rückstellbare Wirkenergie von Tarif 8"};
const LangText TxtPs52ResetableReactiveEnergyTariff8{"52. Resetable reactive energy of all pfases of tariff No.8",
    "52. Rückstellbare Blindenergie von Tarif 8"};
const LangText TxtPs53FreezableActiveEnergyTariff1{"53. Freezable active energy of all pfases of tariff No.1",
    "53. Wirkenergie Tarif 1 zum Stichtag"};
const LangText TxtPs54FreezableReactiveEnergyTariff1{"54. Freezable reactive energy of all pfases of tariff No.1",
    "54. Blindenergie Tarif 1 zum Stichtag"};
const LangText TxtPs55FreezableActiveEnergyTariff2{"55. Freezable active energy of all pfases of tariff No.2",
    "55. Wirkenergie Tarif 2 zum Stichtag"};
const LangText TxtPs56FreezableReactiveEnergyTariff2{"56. Freezable reactive energy of all pfases of tariff No.2",
    "56. Blindenergie Tarif 2 zum Stichtag"};
const LangText TxtPs57FreezableActiveEnergyTariff3{"57. Freezable active energy of all pfases of tariff No.3",
    "57. Wirkenergie Tarif 3 zum Stichtag"};
const LangText TxtPs58FreezableReactiveEnergyTariff3{"58. Freezable reactive energy of all pfases of tariff No.3",
    "58. Blindenergie Tarif 3 zum Stichtag"};
const LangText TxtPs59FreezableActiveEnergyTariff4{"59. Freezable active energy of all pfases of tariff No.4",
    "59. Wirkenergie Tarif 4 zum Stichtag"};
const LangText TxtPs60FreezableReactiveEnergyTariff4{"60. Freezable reactive energy of all pfases of tariff No.4",
    "60. Blindenergie Tarif 4 zum Stichtag"};
const LangText TxtPs61FreezableActiveEnergyTariff5{"61. Freezable active energy of all pfases of tariff No.5",
    "61. Wirkenergie Tarif 5 zum Stichtag"};
const LangText TxtPs62FreezableReactiveEnergyTariff5{"62. Freezable reactive energy of all pfases of tariff No.5",
    "62. Blindenergie Tarif 5 zum Stichtag"};
const LangText TxtPs63FreezableActiveEnergyTariff6{"63. Freezable active energy of all pfases of tariff No.6",
    "63. Wirkenergie Tarif 6 zum Stichtag"};
const LangText TxtPs64FreezableReactiveEnergyTariff6{"64. Freezable reactive energy of all pfases of tariff No.6",
    "64. Blindenergie Tarif 6 zum Stichtag"};
const LangText TxtPs65FreezableActiveEnergyTariff7{"65. Freezable active energy of all pfases of tariff No.7",
    "65. Wirkenergie Tarif 7 zum Stichtag"};
const LangText TxtPs66FreezableReactiveEnergyTariff7{"66. Freezable reactive energy of all pfases of tariff No.7",
    "66. Blindenergie Tarif 7 zum Stichtag"};
const LangText TxtPs67FreezableActiveEnergyTariff8{"67. Freezable active energy of all pfases of tariff No.8",
    "67. Wirkenergie Tarif 8 zum Stichtag"};
const LangText TxtPs68FreezableReactiveEnergyTariff8{"68. Freezable reactive energy of all pfases of tariff No.8",
    "68. Blindenergie Tarif 8 zum Stichtag"};
const LangText TxtPs69Features{"69. Features",
    "69. Merkmale"};
const LangText TxtPs70PresettedTimeFreezeFreezableCounters{"70. Presetted time of freeze for freezable counters",
    "70. Eingestellte Zeit für Stichtagsfunktion"};
const LangText TxtPs71PresettedTimeResetResetableCounters{"71. Presetted time of reset for resetable counters",
    "71. Voreingestellte Zeit des Reset für die rücksetzbaren Zähler"};
const LangText TxtPs72ActualTimeFreezeFreezableCounters{"72. Actual time of freeze for freezable counters",
    "72. Datum und Uhrzeit des Stichtags"};
const LangText TxtPs73ActualTimeResetResetableCounters{"73. Actual time of reset for resetable counters",
    "73. Datum und Uhrzeit der Rückstellung"};
const LangText TxtPs74TotalOperatingHours{"74. Total operating hours",
    "74. Betriebsstunden"};
const LangText TxtPs75OperatingHoursSinceLastReset{"75. Operating hours since last reset",
    "75. Betriebsstunden seit letztem Reset"};
const LangText TxtPs76Version{"76. Version",
    "76. Version"};
const LangText TxtPs77RequestedTariff{"77. Requested tariff",
    "77. Angefragter Tarif"};
const LangText TxtPs78PrimaryInstanteneousPowerP1{"78. Primary instanteneous power P1",
    "78. Primäre Wirkleistung _P1"};
const LangText TxtPs79PrimaryInstanteneousPowerP2{"79. Primary instanteneous power P2",
    "79. Primäre Wirkleistung _P2"};
const LangText TxtPs80PrimaryInstanteneousPowerP3{"80. Primary instanteneous power P3",
    "80. Primäre Wirkleistung _P3"};
const LangText TxtPs81PrimaryReactivePowerQ1{"81. Primary reactive power Q1",
    "81. Primäre Blindleistung _Q1"};
const LangText TxtPs82PrimaryReactivePowerQ2{"82. Primary reactive power Q2",
    "82. Primäre Blindleistung _Q2"};
const LangText TxtPs83PrimaryReactivePowerQ3{"83. Primary reactive power Q3",
    "83. Primäre Blindleistung _Q3"};

const std::array<const LangText*, 83> TxtPsFields{
    &TxtPs01ErrorStatusFlags, &TxtPs02VoltagePhaseN, &TxtPs03Voltage, &TxtPs04THDVoltages, &TxtPs05Currents,
    &TxtPs06THDCurrents, &TxtPs07Frequency, &TxtPs08PrimaryInstantaneousPower, &TxtPs09PrimaryReactivePower,
    &TxtPs10PerformanceFactors, &TxtPs11SecondaryInstantaneousPower, &TxtPs12DemandPeriod, &TxtPs13DateTime,
    &TxtPs14TotalActiveEnergy, &TxtPs15TotalReactiveEnergy, &TxtPs16DisplaysActiveTariff,
    &TxtPs17ActiveEnergyActiveTariff, &TxtPs18ReactiveEnergyActiveTariff, &TxtPs19ActiveEnergyTariff1,
    &TxtPs20ReactiveEnergyTariff1, &TxtPs21ActiveEnergyTariff2, &TxtPs22ReactiveEnergyTariff2,
    &TxtPs23ActiveEnergyTariff3, &TxtPs24ReactiveEnergyTariff3, &TxtPs25ActiveEnergyTariff4,
    &TxtPs26ReactiveEnergyTariff4, &TxtPs27ActiveEnergyTariff5, &TxtPs28ReactiveEnergyTariff5,
    &TxtPs29ActiveEnergyTariff6, &TxtPs30ReactiveEnergyTariff6, &TxtPs31ActiveEnergyTariff7,
    &TxtPs32ReactiveEnergyTariff7, &TxtPs33ActiveEnergyTariff8, &TxtPs34ReactiveEnergyTariff8, &TxtPs35CTValue,
    &TxtPs36VTValue, &TxtPs37ResetableActiveEnergyTariff1, &TxtPs38ResetableReactiveEnergyTariff1,
    &TxtPs39ResetableActiveEnergyTariff2, &TxtPs40ResetableReactiveEnergyTariff2,
    &TxtPs41ResetableActiveEnergyTariff3, &TxtPs42ResetableReactiveEnergyTariff3,
    &TxtPs43ResetableActiveEnergyTariff4, &TxtPs44ResetableReactiveEnergyTariff4,
    &TxtPs45ResetableActiveEnergyTariff5, &TxtPs46ResetableReactiveEnergyTariff5,
    &TxtPs47ResetableActiveEnergyTariff6, &TxtPs48ResetableReactiveEnergyTariff6,
    &TxtPs49ResetableActiveEnergyTariff7, &TxtPs50ResetableReactiveEnergyTariff7,
    &TxtPs51ResetableActiveEnergyTariff8, &TxtPs52ResetableReactiveEnergyTariff8,
    &TxtPs53FreezableActiveEnergyTariff1, &TxtPs54FreezableReactiveEnergyTariff1,
    &TxtPs55FreezableActiveEnergyTariff2, &TxtPs56FreezableReactiveEnergyTariff2,
    &TxtPs57FreezableActiveEnergyTariff3, &TxtPs58FreezableReactiveEnergyTariff3,
    &TxtPs59FreezableActiveEnergyTariff4, &TxtPs60FreezableReactiveEnergyTariff4,
    &TxtPs61FreezableActiveEnergyTariff5, &TxtPs62FreezableReactiveEnergyTariff5,
    &TxtPs63FreezableActiveEnergyTariff6, &TxtPs64FreezableReactiveEnergyTariff6,
    &TxtPs65FreezableActiveEnergyTariff7, &TxtPs66FreezableReactiveEnergyTariff7,
    &TxtPs67FreezableActiveEnergyTariff8, &TxtPs68FreezableReactiveEnergyTariff8, &TxtPs69Features,
    &TxtPs70PresettedTimeFreezeFreezableCounters, &TxtPs71PresettedTimeResetResetableCounters,
    &TxtPs72ActualTimeFreezeFreezableCounters, &TxtPs73ActualTimeResetResetableCounters,
    &TxtPs74TotalOperatingHours, &TxtPs75OperatingHoursSinceLastReset, &TxtPs76Version,
    &TxtPs77RequestedTariff, &TxtPs78PrimaryInstanteneousPowerP1, &TxtPs79PrimaryInstanteneousPowerP2,
    &TxtPs80PrimaryInstanteneousPowerP3, &TxtPs81PrimaryReactivePowerQ1, &TxtPs82PrimaryReactivePowerQ2,
    &TxtPs83PrimaryReactivePowerQ3};

// Buttons, dialogs and message boxes of the PS-Field Configuration window.
const LangText TxtPsButtonSendToDevice{"Send To Device", "Send To Device"};
const LangText TxtPsButtonOpen{"Open", "Open"};
const LangText TxtPsButtonSave{"Save", "Save"};
const LangText TxtPsButtonSaveAs{"Save As...", "Save As..."};
const LangText TxtPsButtonCancel{"Cancel", "Cancel"};
const LangText TxtPsFileFilter{"PSF Files (*.psf);;All Files (*.*)", "PSF Files (*.psf);;All Files (*.*)"};
// The file name goes between these two.
const LangText TxtPsRequestedFile{"Requested file ", "Requested file "};
const LangText TxtPsCannotBeOpened{" cannot be opened.", " cannot be opened."};
// A Save or Save As whose file did not come out whole.
const LangText TxtPsCannotBeSaved{" cannot be saved.", " cannot be saved."};
const LangText TxtPsSaveQuestion{"Do you want to save the PS-Field ?", "Do you want to save the PS-Field ?"};
const LangText TxtPsAlreadyExistReplace{" already exist.\nDo you want to replace them?",
                                        " already exist.\nDo you want to replace them?"};
const LangText TxtPsCaptionOpen{"Open", "Open"};
const LangText TxtPsCaptionSaveAs{"Save As", "Save As"};
const LangText TxtPsCaptionInformation{"Information", "Information"};
