#include "forms/main/controls.h"

#include "forms/main/mainwindow.h"

namespace forms {

using Kind = MainControl::Kind;

// In the order the window creates them.
const std::array<MainControl, 9> kMainControls = {{
    {"txt1", Kind::InputBox, &Places::txt1, nullptr, "Testo da elaborare",
     "Casella di ingresso: il testo da criptare o decriptare", nullptr},
    {"txt2", Kind::OutputBox, &Places::txt2, nullptr, "Risultato",
     "Casella di uscita: il testo criptato o decriptato", nullptr},
    {"prog1", Kind::ProgressBar, &Places::prog1, nullptr, "Avanzamento",
     "Avanzamento del comando Cripta o Decripta", nullptr},
    {"cmd1", Kind::Button, &Places::cmd1, "Cripta", "Cripta",
     "Cripta il testo della casella di ingresso", [](MainWindow& w) { w.cmd1_Click(0); }},
    {"Command1", Kind::Button, &Places::Command1, "Decripta", "Decripta",
     "Decripta il testo della casella di ingresso", [](MainWindow& w) { w.Command1_Click(); }},
    {"Command2", Kind::Button, &Places::Command2, "Esci", "Esci",
     "Chiude Zelvano e tutte le sue finestre", [](MainWindow& w) { w.Command2_Click(); }},
    {"Command3", Kind::Button, &Places::Command3, "<==", "<== Sposta il risultato",
     "Sposta il risultato nella casella di ingresso", [](MainWindow& w) { w.Command3_Click(); }},
    {"Command4_0", Kind::Button, &Places::Command4_0, "Svuota ", "Svuota l'ingresso",
     "Svuota la casella di ingresso", [](MainWindow& w) { w.Command4_Click(0); }},
    {"Command4_1", Kind::Button, &Places::Command4_1, "Svuota ", "Svuota il risultato",
     "Svuota la casella di uscita", [](MainWindow& w) { w.Command4_Click(1); }},
}};

}  // namespace forms
