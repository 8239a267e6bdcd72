// ZEL's texts in its six languages. UTF-8 source: dashes are em dashes and
// ellipses single characters throughout; captions, tooltips and status lines
// are lower case, help texts are sentences.

#include "Tables.h"

#include "plugin/ProductInfo.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <string_view>

namespace vo::plugins::zel::i18n
{

namespace
{
constexpr std::string_view kSiteName { product::kSiteName };

// "No connection" names the site in every language; joining at compile time
// keeps the tables constant data with the site written in one place only.
template <std::size_t BeforeSize, std::size_t AfterSize>
constexpr auto aroundSiteName (const char (&before)[BeforeSize], const char (&after)[AfterSize])
{
    std::array<char, BeforeSize - 1 + kSiteName.size() + AfterSize> text {};
    auto* out = std::copy (before, before + BeforeSize - 1, text.begin());
    out = std::copy (kSiteName.begin(), kSiteName.end(), out);
    std::copy (after, after + AfterSize, out);
    return text;
}

constexpr auto kNoConnectionEn = aroundSiteName ("No connection — ", " could not be reached.");
constexpr auto kNoConnectionDe = aroundSiteName ("Keine Verbindung — ", " war nicht erreichbar.");
constexpr auto kNoConnectionTr = aroundSiteName ("Bağlantı yok — ", "'a ulaşılamadı.");
constexpr auto kNoConnectionEs = aroundSiteName ("Sin conexión — no se ha podido acceder a ", ".");
constexpr auto kNoConnectionIt = aroundSiteName ("Nessuna connessione — ", " non è raggiungibile.");
constexpr auto kNoConnectionRu = aroundSiteName ("Нет соединения — ", " недоступен.");

constexpr Table kEnglishTable {
    .code = "en",
    .languageName = "english",
    .menuLanguage = "language",

    .labelAmount = "amount",
    .labelLowCut = "low cut",
    .labelHighCut = "high cut",
    .labelFreeze = "freeze",
    .labelAttack = "attack",
    .labelRelease = "release",
    .labelPan = "pan",
    .labelScAudition = "sc audition",
    .labelSmooth = "smooth",
    .labelAdvanced = "advanced",
    .labelLR = "l/r",
    .labelMS = "m/s",
    .labelMode = "mode",

    .tipAmount = "how deep the sidechain cuts into this track",
    .tipLowCut = "nothing below this frequency is cut",
    .tipHighCut = "nothing above this frequency is cut",
    .tipFreeze = "hold the current cut as a static eq",
    .tipAttack = "how fast the cut follows a rise",
    .tipRelease = "how fast the cut lets go",
    .tipMode = "cut in left/right or in mid/side",
    .tipPan = "where the cut lands: left/right, or mid/side",
    .tipScAudition = "listen to the sidechain with the cuts applied",
    .tipSmooth = "spread the cut over neighbouring bands",
    .tipAdvanced = "show pan, mode, attack, release, smooth",
    .tipSpectrum = "sidechain spectrum and the cut, hover for values",
    .tipBypass = "switch ZEL off without a click",

    .helpAmount = "Turn up to carve more room: at 100 the loudest part of the sidechain takes 30 dB out of this track.",
    .helpLowCut = "Below this frequency the track is left alone — keep a sub or a vocal body out of it.",
    .helpHighCut = "Above this frequency the track is left alone — keep a kick's click from thinning the highs.",
    .helpFreeze = "Holds the cut exactly as it is now, like a static eq drawn by the sidechain.",
    .helpAttack = "How quickly the cut opens when the sidechain hits — short for drums, longer for pads "
                  "(the analysis itself takes about 10 ms, so 5 is as fast as it gets).",
    .helpRelease = "How quickly the cut closes after the sidechain fades — short keeps the groove, long keeps it smooth.",
    .helpModeLR = "Cut left and right as they are.",
    .helpModeMS = "Cut the middle and the sides separately — use pan to pick which.",
    .helpPan = "Where the cut lands: fully left, fully right, or in between; in m/s: middle, sides, or between.",
    .helpScAudition = "Hear what ZEL is listening to: the sidechain, with the low and high cut applied.",
    .helpSmooth = "Spreads each cut into the neighbouring bands so nothing sounds like a comb.",
    .helpAdvanced = "Opens pan, mode, attack, release and smooth below.",
    .helpSpectrum = "Amber is the sidechain, cream is the cut; move the pointer to read frequency and depth.",
    .helpBypass = "Switches ZEL off without a click; the window dims while it is off.",
    .helpPresetBack = "One preset back.",
    .helpPresetNext = "One preset on.",
    .helpPresetList = "Opens the preset list — factory sounds and your own. A * after the name means: changed, "
                      "not saved yet — open the list and press Save to keep it.",
    .helpUndo = "Takes back the last change.",
    .helpHelp = "Short help about this plugin.",
    .helpSettings = "Settings: window size, language and plugin info.",

    .legendSidechain = "sidechain",
    .legendCut = "cut",
    .readoutSc = "sc",
    .readoutCut = "cut",

    .statusListening = "listening to the sidechain bus",
    .statusNoBus = "no sidechain bus — listening to this track itself",
    .statusFrozen = "frozen — the cut holds until you release it",
    .statusAudition = "sc audition — you are hearing the sidechain, not this track",
    .statusNoSignal = "no sidechain signal — nothing to cut yet",
    .summary = "ZEL makes room: it takes out of this track exactly the frequencies the sidechain is playing.",

    .buttonClose = "close",
    .menuCheckForUpdates = "check for updates",
    .menuUpdateTo = "update to",
    .updateTitle = "update",
    .msgUpdateAvailable = "ZEL %s is available. Install it now?",
    .msgUpToDate = "ZEL is up to date.",
    .msgNoConnection = kNoConnectionEn.data(),
    .msgLooking = "Looking for updates …",
    .buttonYes = "yes",
    .buttonNo = "no",
    .toggleDoNotAsk = "do not ask again",
};

constexpr Table kGermanTable {
    .code = "de",
    .languageName = "deutsch",
    .menuLanguage = "sprache",

    .labelAmount = "stärke",
    .labelLowCut = "low cut",
    .labelHighCut = "high cut",
    .labelFreeze = "freeze",
    .labelAttack = "attack",
    .labelRelease = "release",
    .labelPan = "pan",
    .labelScAudition = "sc abhören",
    .labelSmooth = "glättung",
    .labelAdvanced = "erweitert",
    .labelLR = "l/r",
    .labelMS = "m/s",
    .labelMode = "modus",

    .tipAmount = "wie tief der sidechain diese spur absenkt",
    .tipLowCut = "unterhalb dieser frequenz wird nichts abgesenkt",
    .tipHighCut = "oberhalb dieser frequenz wird nichts abgesenkt",
    .tipFreeze = "die aktuelle absenkung als statischen eq festhalten",
    .tipAttack = "wie schnell die absenkung einem anstieg folgt",
    .tipRelease = "wie schnell die absenkung wieder loslässt",
    .tipMode = "in links/rechts oder in mid/side absenken",
    .tipPan = "wo die absenkung landet: links/rechts oder mid/side",
    .tipScAudition = "den sidechain mit low cut und high cut abhören",
    .tipSmooth = "die absenkung auf die nachbarbänder verteilen",
    .tipAdvanced = "pan, modus, attack, release und glättung einblenden",
    .tipSpectrum = "sidechain-spektrum und absenkung, zeiger drauf für werte",
    .tipBypass = "ZEL ohne knacken abschalten",

    .helpAmount = "Dreh weiter auf, um mehr Platz zu schaffen: Bei 100 senkt der lauteste Teil des Sidechains "
                  "diese Spur um 30 dB ab.",
    .helpLowCut = "Unterhalb dieser Frequenz bleibt die Spur unangetastet — so hältst du den Subbass "
                  "oder den Körper einer Stimme aus der Absenkung heraus.",
    .helpHighCut = "Oberhalb dieser Frequenz bleibt die Spur unangetastet — so dünnt der Klick einer Kick "
                   "die Höhen nicht aus.",
    .helpFreeze = "Hält die Absenkung genau so als statischen eq fest, "
                  "wie der Sidechain sie gerade gezeichnet hat.",
    .helpAttack = "Wie schnell die Absenkung greift, wenn der Sidechain einsetzt — kurz für Drums, länger für Pads "
                  "(die Analyse selbst braucht etwa 10 ms, schneller als 5 geht es also nicht).",
    .helpRelease = "Wie schnell die Absenkung wieder loslässt, wenn der Sidechain abklingt — "
                   "kurze Zeiten erhalten den Groove, lange sorgen für weiche Übergänge.",
    .helpModeLR = "Links und rechts werden so abgesenkt, wie sie sind.",
    .helpModeMS = "Mitte und Seiten werden getrennt abgesenkt — mit pan wählst du, welche.",
    .helpPan = "Wo die Absenkung landet: ganz links, ganz rechts oder dazwischen; in m/s: Mitte, Seiten oder dazwischen.",
    .helpScAudition = "Hör dir an, worauf ZEL hört: den Sidechain, mit aktivem low cut und high cut.",
    .helpSmooth = "Verteilt jede Absenkung auf die Nachbarbänder, damit nichts nach einem Kammfilter klingt.",
    .helpAdvanced = "Blendet darunter pan, modus, attack, release und glättung ein.",
    .helpSpectrum = "Der Sidechain ist bernsteinfarben, die Absenkung cremefarben; fahr mit dem Zeiger darüber, "
                    "um Frequenz und Tiefe abzulesen.",
    .helpBypass = "Schaltet ZEL ohne Knacken ab; solange es aus ist, bleibt das Fenster abgedunkelt.",
    .helpPresetBack = "Ein Preset zurück.",
    .helpPresetNext = "Ein Preset weiter.",
    .helpPresetList = "Öffnet die Preset-Liste — Werkspresets und deine eigenen. Ein * hinter dem Namen heißt: "
                      "geändert, noch nicht gespeichert — öffne die Liste und klick auf Save, um es zu behalten.",
    .helpUndo = "Macht die letzte Änderung rückgängig.",
    .helpHelp = "Kurze Hilfe zu diesem Plugin.",
    .helpSettings = "Einstellungen: Fenstergröße, Sprache und Plugin-Info.",

    .legendSidechain = "sidechain",
    .legendCut = "absenkung",
    .readoutSc = "sc",
    .readoutCut = "absenkung",

    .statusListening = "hört auf den sidechain-bus",
    .statusNoBus = "kein sidechain-bus — hört auf diese spur selbst",
    .statusFrozen = "eingefroren — die absenkung bleibt, bis du sie freigibst",
    .statusAudition = "sc abhören — du hörst den sidechain, nicht diese spur",
    .statusNoSignal = "kein sidechain-signal — noch nichts abzusenken",
    .summary = "ZEL schafft Platz: Es nimmt aus dieser Spur genau die Frequenzen heraus, "
               "die der Sidechain gerade spielt.",

    .buttonClose = "schließen",
    .menuCheckForUpdates = "nach Updates suchen",
    .menuUpdateTo = "Update auf",
    .updateTitle = "update",
    .msgUpdateAvailable = "ZEL %s ist verfügbar. Jetzt installieren?",
    .msgUpToDate = "ZEL ist aktuell.",
    .msgNoConnection = kNoConnectionDe.data(),
    .msgLooking = "Suche nach Updates …",
    .buttonYes = "ja",
    .buttonNo = "nein",
    .toggleDoNotAsk = "nicht mehr fragen",
};

constexpr Table kTurkishTable {
    .code = "tr",
    .languageName = "türkçe",
    .menuLanguage = "dil",

    .labelAmount = "miktar",
    .labelLowCut = "low cut",
    .labelHighCut = "high cut",
    .labelFreeze = "freeze",
    .labelAttack = "attack",
    .labelRelease = "release",
    .labelPan = "pan",
    .labelScAudition = "sc dinle",
    .labelSmooth = "yumuşatma",
    .labelAdvanced = "gelişmiş",
    .labelLR = "l/r",
    .labelMS = "m/s",
    .labelMode = "mod",

    .tipAmount = "sidechain'in bu kanaldan ne kadar derin keseceği",
    .tipLowCut = "bu frekansın altında hiçbir şey kesilmez",
    .tipHighCut = "bu frekansın üstünde hiçbir şey kesilmez",
    .tipFreeze = "mevcut kesimi statik bir eq olarak tut",
    .tipAttack = "kesimin bir yükselişi ne kadar hızlı izleyeceği",
    .tipRelease = "kesimin ne kadar hızlı bırakacağı",
    .tipMode = "kesim sol/sağ ya da mid/side üzerinde",
    .tipPan = "kesimin nereye düşeceği: sol/sağ ya da mid/side",
    .tipScAudition = "sidechain'i low cut ve high cut uygulanmış hâliyle dinle",
    .tipSmooth = "kesimi komşu bantlara yay",
    .tipAdvanced = "pan, mod, attack, release ve yumuşatmayı göster",
    .tipSpectrum = "sidechain spektrumu ve kesim, değerler için üstüne gel",
    .tipBypass = "ZEL'i tık olmadan kapat",

    .helpAmount = "Daha fazla yer açmak için değeri artır: 100'de sidechain'in en yüksek sesli kısmı "
                  "bu kanaldan 30 dB keser.",
    .helpLowCut = "Bu frekansın altında kanala dokunulmaz — sub bası ya da vokalin gövdesini kesimin dışında tut.",
    .helpHighCut = "Bu frekansın üstünde kanala dokunulmaz — kick'in klik sesi tizleri inceltmesin.",
    .helpFreeze = "Kesimi tam şu anki hâliyle tutar, sidechain'in çizdiği statik bir eq gibi.",
    .helpAttack = "Sidechain vurduğunda kesimin ne kadar hızlı devreye gireceği — davullar için kısa, pad'ler için "
                  "daha uzun (analizin kendisi yaklaşık 10 ms sürer, bu yüzden 5'ten hızlısı olmaz).",
    .helpRelease = "Sidechain sönümlendikten sonra kesimin ne kadar hızlı bırakacağı — kısa bir ayar groove'u korur, "
                   "uzun bir ayar her şeyi yumuşak tutar.",
    .helpModeLR = "Solu ve sağı oldukları gibi keser.",
    .helpModeMS = "Ortayı ve yanları ayrı ayrı keser — hangisinin kesileceğini pan ile seç.",
    .helpPan = "Kesimin nereye düşeceği: tamamen sola, tamamen sağa ya da ikisinin arasına; m/s'de: ortaya, yanlara "
               "ya da ikisinin arasına.",
    .helpScAudition = "ZEL'in neyi dinlediğini duy: low cut ve high cut uygulanmış hâliyle sidechain'i.",
    .helpSmooth = "Her kesimi komşu bantlara yayar, böylece hiçbir şey tarak filtresi gibi tınlamaz.",
    .helpAdvanced = "Aşağıda pan, mod, attack, release ve yumuşatmayı açar.",
    .helpSpectrum = "Kehribar rengi sidechain'i, krem rengi kesimi gösterir; frekansı ve derinliği "
                    "okumak için imleci üzerinde gezdir.",
    .helpBypass = "ZEL'i tık olmadan kapatır; kapalıyken pencere kararır.",
    .helpPresetBack = "Bir preset geri.",
    .helpPresetNext = "Bir preset ileri.",
    .helpPresetList = "Preset listesini açar — fabrika preset'leri ve seninkiler. İsmin sonundaki * şu anlama gelir: "
                      "değiştirildi, henüz kaydedilmedi — saklamak için listeyi aç ve Save'e bas.",
    .helpUndo = "Son değişikliği geri alır.",
    .helpHelp = "Bu eklenti hakkında kısa yardım.",
    .helpSettings = "Ayarlar: pencere boyutu, dil ve eklenti bilgisi.",

    .legendSidechain = "sidechain",
    .legendCut = "kesim",
    .readoutSc = "sc",
    .readoutCut = "kesim",

    .statusListening = "sidechain bus'ını dinliyor",
    .statusNoBus = "sidechain bus'ı yok — bu kanalın kendisini dinliyor",
    .statusFrozen = "donduruldu — sen bırakana kadar kesim tutuluyor",
    .statusAudition = "sc dinleme — bu kanalı değil, sidechain'i duyuyorsun",
    .statusNoSignal = "sidechain sinyali yok — henüz kesilecek bir şey yok",
    .summary = "ZEL yer açar: bu kanaldan tam olarak sidechain'in o an çaldığı frekansları çıkarır.",

    .buttonClose = "kapat",
    .menuCheckForUpdates = "güncelleme ara",
    .menuUpdateTo = "şu sürüme güncelle:",
    .updateTitle = "güncelleme",
    .msgUpdateAvailable = "ZEL %s yayınlandı. Şimdi kurulsun mu?",
    .msgUpToDate = "ZEL güncel.",
    .msgNoConnection = kNoConnectionTr.data(),
    .msgLooking = "Güncelleme aranıyor …",
    .buttonYes = "evet",
    .buttonNo = "hayır",
    .toggleDoNotAsk = "bir daha sorma",
};

constexpr Table kSpanishTable {
    .code = "es",
    .languageName = "español",
    .menuLanguage = "idioma",

    .labelAmount = "cantidad",
    .labelLowCut = "low cut",
    .labelHighCut = "high cut",
    .labelFreeze = "freeze",
    .labelAttack = "attack",
    .labelRelease = "release",
    .labelPan = "pan",
    .labelScAudition = "escucha sc",
    .labelSmooth = "suavizado",
    .labelAdvanced = "avanzado",
    .labelLR = "l/r",
    .labelMS = "m/s",
    .labelMode = "modo",

    .tipAmount = "cuánto corta el sidechain en esta pista",
    .tipLowCut = "por debajo de esta frecuencia no se corta nada",
    .tipHighCut = "por encima de esta frecuencia no se corta nada",
    .tipFreeze = "congela el corte actual como un eq estático",
    .tipAttack = "lo rápido que sigue el corte una subida",
    .tipRelease = "lo rápido que suelta el corte",
    .tipMode = "corte en izquierda/derecha o en mid/side",
    .tipPan = "dónde cae el corte: izquierda/derecha o mid/side",
    .tipScAudition = "escucha el sidechain con low cut y high cut aplicados",
    .tipSmooth = "reparte el corte entre las bandas vecinas",
    .tipAdvanced = "muestra pan, modo, attack, release y suavizado",
    .tipSpectrum = "espectro del sidechain y el corte, pasa el ratón para ver valores",
    .tipBypass = "apaga ZEL sin clics",

    .helpAmount = "Súbelo para hacer más hueco: a 100, la parte más fuerte del sidechain le quita 30 dB a esta pista.",
    .helpLowCut = "Por debajo de esta frecuencia la pista no se toca — así el sub o el cuerpo de una voz "
                  "quedan fuera del corte.",
    .helpHighCut = "Por encima de esta frecuencia la pista no se toca — evita que el clic de un bombo "
                   "adelgace los agudos.",
    .helpFreeze = "Congela el corte tal como está ahora, como un eq estático dibujado por el sidechain.",
    .helpAttack = "Lo rápido que entra el corte cuando suena el sidechain — corto para batería, más largo para pads "
                  "(el análisis en sí tarda unos 10 ms, así que 5 es lo más rápido posible).",
    .helpRelease = "Lo rápido que suelta el corte cuando el sidechain se apaga — uno corto mantiene el groove, "
                   "uno largo lo deja suave.",
    .helpModeLR = "Corta izquierda y derecha tal como están.",
    .helpModeMS = "Corta el centro y los laterales por separado — usa pan para elegir cuál.",
    .helpPan = "Dónde cae el corte: todo a la izquierda, todo a la derecha o en medio; en m/s: centro, laterales "
               "o entre ambos.",
    .helpScAudition = "Escucha lo que oye ZEL: el sidechain, con el low cut y el high cut aplicados.",
    .helpSmooth = "Reparte cada corte entre las bandas vecinas para que nada suene a filtro peine.",
    .helpAdvanced = "Despliega debajo pan, modo, attack, release y suavizado.",
    .helpSpectrum = "El ámbar es el sidechain, el crema es el corte; pasa el puntero por encima para leer "
                    "la frecuencia y la profundidad.",
    .helpBypass = "Apaga ZEL sin clics; la ventana se oscurece mientras está apagado.",
    .helpPresetBack = "Un preset atrás.",
    .helpPresetNext = "Un preset adelante.",
    .helpPresetList = "Abre la lista de presets — los de fábrica y los tuyos. Un * detrás del nombre significa: "
                      "modificado, aún sin guardar — abre la lista y pulsa Save para conservarlo.",
    .helpUndo = "Deshace el último cambio.",
    .helpHelp = "Ayuda breve sobre este plugin.",
    .helpSettings = "Ajustes: tamaño de ventana, idioma e información del plugin.",

    .legendSidechain = "sidechain",
    .legendCut = "corte",
    .readoutSc = "sc",
    .readoutCut = "corte",

    .statusListening = "escuchando el bus de sidechain",
    .statusNoBus = "sin bus de sidechain — escuchando esta misma pista",
    .statusFrozen = "congelado — el corte se mantiene hasta que lo sueltes",
    .statusAudition = "escucha sc — estás oyendo el sidechain, no esta pista",
    .statusNoSignal = "sin señal de sidechain — todavía no hay nada que cortar",
    .summary = "ZEL hace hueco: quita de esta pista exactamente las frecuencias que está tocando el sidechain.",

    .buttonClose = "cerrar",
    .menuCheckForUpdates = "buscar actualizaciones",
    .menuUpdateTo = "actualizar a",
    .updateTitle = "actualización",
    .msgUpdateAvailable = "ZEL %s ya está disponible. ¿Instalarlo ahora?",
    .msgUpToDate = "ZEL está actualizado.",
    .msgNoConnection = kNoConnectionEs.data(),
    .msgLooking = "Buscando actualizaciones …",
    .buttonYes = "sí",
    .buttonNo = "no",
    .toggleDoNotAsk = "no volver a preguntar",
};

constexpr Table kItalianTable {
    .code = "it",
    .languageName = "italiano",
    .menuLanguage = "lingua",

    .labelAmount = "quantità",
    .labelLowCut = "low cut",
    .labelHighCut = "high cut",
    .labelFreeze = "freeze",
    .labelAttack = "attack",
    .labelRelease = "release",
    .labelPan = "pan",
    .labelScAudition = "ascolto sc",
    .labelSmooth = "smussatura",
    .labelAdvanced = "avanzato",
    .labelLR = "l/r",
    .labelMS = "m/s",
    .labelMode = "modo",

    .tipAmount = "quanto a fondo il sidechain taglia questa traccia",
    .tipLowCut = "sotto questa frequenza non si taglia nulla",
    .tipHighCut = "sopra questa frequenza non si taglia nulla",
    .tipFreeze = "blocca il taglio attuale come un eq statico",
    .tipAttack = "quanto in fretta il taglio segue una salita",
    .tipRelease = "quanto in fretta il taglio si ritira",
    .tipMode = "taglio in sinistra/destra o in mid/side",
    .tipPan = "dove cade il taglio: sinistra/destra o mid/side",
    .tipScAudition = "ascolta il sidechain con low cut e high cut applicati",
    .tipSmooth = "distribuisce il taglio sulle bande vicine",
    .tipAdvanced = "mostra pan, modo, attack, release e smussatura",
    .tipSpectrum = "spettro del sidechain e taglio, passa il puntatore per i valori",
    .tipBypass = "spegne ZEL senza click",

    .helpAmount = "Alzala per fare più spazio: a 100 la parte più forte del sidechain toglie 30 dB a questa traccia.",
    .helpLowCut = "Sotto questa frequenza la traccia resta intatta — così il sub o il corpo di una voce "
                  "restano fuori dal taglio.",
    .helpHighCut = "Sopra questa frequenza la traccia resta intatta — evita che il click della cassa "
                   "assottigli gli acuti.",
    .helpFreeze = "Blocca il taglio esattamente com'è adesso, come un eq statico disegnato dal sidechain.",
    .helpAttack = "Quanto in fretta interviene il taglio quando entra il sidechain — corto per la batteria, "
                  "più lungo per i pad (l'analisi da sola richiede circa 10 ms, quindi sotto i 5 non si scende).",
    .helpRelease = "Quanto in fretta il taglio si ritira quando il sidechain si smorza — corto mantiene il groove, "
                   "lungo rende tutto più morbido.",
    .helpModeLR = "Taglia sinistra e destra così come sono.",
    .helpModeMS = "Taglia il centro e i lati separatamente — usa pan per scegliere quale.",
    .helpPan = "Dove cade il taglio: tutto a sinistra, tutto a destra o in mezzo; in m/s: centro, lati o in mezzo.",
    .helpScAudition = "Senti quello che ascolta ZEL: il sidechain, con low cut e high cut applicati.",
    .helpSmooth = "Distribuisce ogni taglio sulle bande vicine, così niente suona come un filtro a pettine.",
    .helpAdvanced = "Mostra qui sotto pan, modo, attack, release e smussatura.",
    .helpSpectrum = "In ambra c'è il sidechain, in crema il taglio; passa il puntatore per leggere frequenza "
                    "e profondità.",
    .helpBypass = "Spegne ZEL senza click; mentre è spento la finestra si scurisce.",
    .helpPresetBack = "Un preset indietro.",
    .helpPresetNext = "Un preset avanti.",
    .helpPresetList = "Apre la lista dei preset — quelli di fabbrica e i tuoi. Un * dopo il nome significa: "
                      "modificato, non ancora salvato — apri la lista e premi Save per conservarlo.",
    .helpUndo = "Annulla l'ultima modifica.",
    .helpHelp = "Breve guida a questo plugin.",
    .helpSettings = "Impostazioni: dimensione della finestra, lingua e informazioni sul plugin.",

    .legendSidechain = "sidechain",
    .legendCut = "taglio",
    .readoutSc = "sc",
    .readoutCut = "taglio",

    .statusListening = "in ascolto sul bus sidechain",
    .statusNoBus = "nessun bus sidechain — in ascolto su questa stessa traccia",
    .statusFrozen = "congelato — il taglio resta finché non lo sblocchi",
    .statusAudition = "ascolto sc — stai sentendo il sidechain, non questa traccia",
    .statusNoSignal = "nessun segnale sidechain — ancora niente da tagliare",
    .summary = "ZEL fa spazio: toglie da questa traccia esattamente le frequenze che il sidechain sta suonando.",

    .buttonClose = "chiudi",
    .menuCheckForUpdates = "cerca aggiornamenti",
    .menuUpdateTo = "aggiorna a",
    .updateTitle = "aggiornamento",
    .msgUpdateAvailable = "ZEL %s è disponibile. Installarlo ora?",
    .msgUpToDate = "ZEL è aggiornato.",
    .msgNoConnection = kNoConnectionIt.data(),
    .msgLooking = "Ricerca aggiornamenti …",
    .buttonYes = "sì",
    .buttonNo = "no",
    .toggleDoNotAsk = "non chiedere più",
};

constexpr Table kRussianTable {
    .code = "ru",
    .languageName = "русский",
    .menuLanguage = "язык",

    .labelAmount = "степень",
    .labelLowCut = "low cut",
    .labelHighCut = "high cut",
    .labelFreeze = "freeze",
    .labelAttack = "атака",
    .labelRelease = "релиз",
    .labelPan = "пан",
    .labelScAudition = "слушать sc",
    .labelSmooth = "плавность",
    .labelAdvanced = "расширенный",
    .labelLR = "l/r",
    .labelMS = "m/s",
    .labelMode = "режим",

    .tipAmount = "насколько глубоко сайдчейн врезается в эту дорожку",
    .tipLowCut = "ниже этой частоты ничего не вырезается",
    .tipHighCut = "выше этой частоты ничего не вырезается",
    .tipFreeze = "зафиксировать текущий вырез как статический эквалайзер",
    .tipAttack = "как быстро вырез следует за нарастанием",
    .tipRelease = "как быстро вырез отпускает",
    .tipMode = "вырез в режиме левый/правый или mid/side",
    .tipPan = "куда ложится вырез: левый/правый или mid/side",
    .tipScAudition = "слушать сайдчейн с применёнными low cut и high cut",
    .tipSmooth = "распределить вырез по соседним полосам",
    .tipAdvanced = "показать пан, режим, атаку, релиз и плавность",
    .tipSpectrum = "спектр сайдчейна и вырез, наведи для значений",
    .tipBypass = "выключить ZEL без щелчка",

    .helpAmount = "Прибавь, чтобы освободить больше места: при 100 самая громкая часть сайдчейна вырезает "
                  "из этой дорожки 30 дБ.",
    .helpLowCut = "Ниже этой частоты дорожка остаётся нетронутой — так ни саб, ни тело вокала не попадут под вырез.",
    .helpHighCut = "Выше этой частоты дорожка остаётся нетронутой — так щелчок бочки не обеднит верха.",
    .helpFreeze = "Фиксирует вырез точно в текущем виде, как статический эквалайзер, нарисованный сайдчейном.",
    .helpAttack = "Как быстро срабатывает вырез, когда вступает сайдчейн — короткая атака для барабанов, "
                  "подлиннее для пэдов (сам анализ занимает около 10 мс, так что быстрее 5 не получится).",
    .helpRelease = "Как быстро вырез отпускает после затухания сайдчейна — короткий релиз сохраняет грув, "
                   "длинный делает всё плавнее.",
    .helpModeLR = "Вырезает левый и правый каналы как есть.",
    .helpModeMS = "Вырезает центр и боковые каналы по отдельности — что именно, выбирай паном.",
    .helpPan = "Куда ложится вырез: полностью влево, полностью вправо или между ними; в m/s: в центр, "
               "в боковые каналы или между ними.",
    .helpScAudition = "Послушай то, что слышит ZEL: сайдчейн, с применёнными low cut и high cut.",
    .helpSmooth = "Распределяет каждый вырез по соседним полосам, "
                  "чтобы ничего не звучало как гребёнчатый фильтр.",
    .helpAdvanced = "Показывает ниже пан, режим, атаку, релиз и плавность.",
    .helpSpectrum = "Янтарным показан сайдчейн, кремовым — вырез; наведи указатель, чтобы увидеть частоту и глубину.",
    .helpBypass = "Выключает ZEL без щелчка; пока он выключен, окно затемнено.",
    .helpPresetBack = "На один пресет назад.",
    .helpPresetNext = "На один пресет вперёд.",
    .helpPresetList = "Открывает список пресетов — заводские и твои собственные. Знак * после названия означает: "
                      "изменён, но ещё не сохранён — открой список и нажми Save, чтобы оставить изменения.",
    .helpUndo = "Отменяет последнее изменение.",
    .helpHelp = "Краткая справка по этому плагину.",
    .helpSettings = "Настройки: размер окна, язык и информация о плагине.",

    .legendSidechain = "сайдчейн",
    .legendCut = "вырез",
    .readoutSc = "sc",
    .readoutCut = "вырез",

    .statusListening = "слушает шину сайдчейна",
    .statusNoBus = "нет шины сайдчейна — слушает саму эту дорожку",
    .statusFrozen = "заморожено — вырез держится, пока не отпустишь",
    .statusAudition = "прослушивание sc — ты слышишь сайдчейн, а не эту дорожку",
    .statusNoSignal = "нет сигнала сайдчейна — резать пока нечего",
    .summary = "ZEL освобождает место: он вырезает из этой дорожки именно те частоты, которые сейчас "
               "играет сайдчейн.",

    .buttonClose = "закрыть",
    .menuCheckForUpdates = "проверить обновления",
    .menuUpdateTo = "обновить до",
    .updateTitle = "обновление",
    .msgUpdateAvailable = "ZEL %s доступен. Установить сейчас?",
    .msgUpToDate = "ZEL актуален.",
    .msgNoConnection = kNoConnectionRu.data(),
    .msgLooking = "Поиск обновлений …",
    .buttonYes = "да",
    .buttonNo = "нет",
    .toggleDoNotAsk = "больше не спрашивать",
};

constexpr std::array<const Table*, kNumLanguages> kTables {
    &kEnglishTable, &kGermanTable, &kTurkishTable, &kSpanishTable, &kItalianTable, &kRussianTable
};

constexpr int kCodeLength = 2;
} // namespace

const Table& tableFor (int index) noexcept
{
    const bool known = index >= 0 && index < kNumLanguages;
    return *kTables[static_cast<std::size_t> (known ? index : kEnglish)];
}

int languageIndexFor (const juce::String& code)
{
    const auto prefix = code.toLowerCase().substring (0, kCodeLength);

    for (int index = 0; index < kNumLanguages; ++index)
        if (prefix == tableFor (index).code)
            return index;

    return kEnglish;
}

} // namespace vo::plugins::zel::i18n
