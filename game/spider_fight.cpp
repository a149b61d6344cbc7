// The spider's lair, the fight and the lair after it (labels 530 to 565).
//
// The lair (530) forwards to the lair after the fight (565) once the spider
// is dead; its elevator shaft leads into the fight while the spider lives.
// A fight starts at the approach (535: the spider at 150, no smoke) and
// loops through the fight screen (538) and one of its turns: an attack
// (540), combining items (545, no turn) or using an item (550) until one
// side's health is 0 or less when the fight screen comes round again. The
// spider is tested first, so a turn that brings both to 0 is a win. Every
// attack is answered: the knife does 25, the fist 10, and the spider strikes
// back for 25 unless the smoke hides the player. The lit smoke bomb sets
// smokeTurns to 2; each answer it absorbs (an attack, a thrown item) takes
// one off, and once the counter is 0 the cover ends at the next attack turn
// or drawing of the use-item screen. The poisoned rod makes the spider lose
// 10 more after every attack turn, for good: a defeat's "Continue" (557)
// restarts against a new spider of 150 that is still poisoned, with the
// items spent staying spent. The win (560) marks the spider dead, and the
// lair (530) shows 565 from then on. Quitting during the fight keeps
// currentScene "538", so the quit confirmation's "No" comes back here.
#include <array>

#include "game/inventory.h"
#include "game/scene.h"
#include "game/scenes.h"

namespace game {
namespace {

constexpr const char* kEquals75 =
    "===========================================================================";
constexpr const char* kEquals76 =
    "============================================================================";
constexpr const char* kItemsHeading = "                         Current Items";

Str answer530, answer538, answer545, answer550, answer557, answer565;

// The combine-items list: everything carried, unnumbered; these lines come
// after the first eight of the inventory's.
const std::array<ItemLine, 6> kCombineList{{
    {"Empty Plasic Bottle", &water, "2"},
    {"Sharp Metal Rod", &metalRod, "1"},
    {"Rusty Key", &rustyKey, "1"},
    {"Glowing Yellow Mushroom", &yellowMushroom, "1"},
    {"Poisoned Sharp Metal Rod", &poisonedRod, "1"},
    {"Thick Glowing Concoction", &glowingConcoction, "1"},
}};

// The use-item list: the usable items carry their choice numbers (both rods
// are "4").
const std::array<ItemLine, 14> kUseList{{
    {"L.E.D. Flashlight", &flashlight, "1"},
    {"Scrap Lumber", &scrapLumber, "1"},
    {"Raft", &raft, "1"},
    {"1- Smoke Bomb", &smokeBomb, "1"},
    {"Disposible Lighter", &lighter, "1"},
    {"2- Gummie Bears", &gummieBears, "1"},
    {"Knife", &knife, "1"},
    {"3- Bottled Water", &water, "1"},
    {"Empty Plasic Bottle", &water, "2"},
    {"4- Sharp Metal Rod", &metalRod, "1"},
    {"4- Poisoned Sharp Metal Rod", &poisonedRod, "1"},
    {"Rusty Key", &rustyKey, "1"},
    {"5- Glowing Yellow Mushroom", &yellowMushroom, "1"},
    {"Thick Glowing Concoction", &glowingConcoction, "1"},
}};

void itemsHeading(Loc loc = Loc::current()) {
    stars(74, loc);
    say(kItemsHeading, loc);
    say(loc);
}

// The lair's choices, the same before and after the fight but for where the
// elevator shaft leads: into the fight (535), or down once the spider is
// dead (570).
Label lairMenu(const Str& answer, Label self, Label shaft) {
    return menu("What is your choice", answer, self,
                {{"1- Travel EAST   ", travel("1", 520)},
                 {"2- Go to Elevator Shaft   ", shaft},
                 checkInventory("3- Check Inventory    "),
                 quit("4- Quit")});
}

// The spider's lair; once the spider is dead, the lair after the fight.
Label scene530() {
    room(12, "530", 530);
    if (is(spiderDead, "1")) return 565;
    status(49, Labels::Seven);
    lines(R"(
You step over spiders and dead rodents as you go.  Ahead of you something
large skitters across the floor, and you enter a large room covered in
huge webs.  At the rear of the room an old elevator shaft leads down to
the lower levels.  In front of it a spider the size of a small dog is
wrapping up its next meal.  It turns and watches your every move, ready
to attack if you come any closer.  The way back is to the EAST.

)");
    return lairMenu(answer530, 530, 535);
}

// The approach: a new spider, no smoke; the smoke counter and the poison
// carry over.
Label scene535() {
    room(11, "538", 535);
    lines(R"(
You slowly inch your way towards the elevator shaft.  The spider's
mandibles snap together and the hairs on its abdomen stand straight up.
There is no way past it.  You take a defensive posture and prepare
yourself to fight.

)");
    spiderHealth = 150;
    let(smokeActive, "0");
    pause("Press ENTER to continue");
    return 538;
}

// The fight screen. The spider is tested first: a turn that brings both
// sides to 0 is a win.
Label scene538() {
    screen(12);
    if (spiderHealth <= 0) return 560;
    if (health <= 0) return 555;
    say(kEquals75);
    say();
    say({"Spider's Health ", spiderHealth, zone, "                       Player Health ", health});
    say();
    say();
    if (is(knife, "1")) {
        colour(15);
        say("You have equiped your pocket knife and stand ready to fight.");
        colour(12);
    }
    if (is(smokeActive, "1")) {
        colour(7);
        say("A cloud of smoke surrounds the large spider.  It is unable to see you right now.");
        colour(12);
    }
    if (is(spiderPoisoned, "1")) {
        colour(10);
        say("The spider looks weakened from the effects of the poison.");
        colour(12);
    }
    if (spiderHealth <= 25) {
        colour(4);
        say("The spider is barely able to stand from the wounds you have inflicted on it.");
        say("While it is near death it still has the will to fight!");
        colour(12);
    }
    if (spiderHealth >= 100 && is(smokeActive, "0")) {
        colour(4);
        say("The spider looks angry and ready to attack at any moment.");
        colour(12);
    }
    say();
    say(kEquals75);
    say();
    return menu("What is your choice", answer538, 538,
                {{"1- Attack spider with knife", 540, [] { return is(knife, "1"); }},
                 {"1- Attack spider with fist", 540, [] { return is(knife, "0"); }},
                 row,
                 {"2- Combine Items", 545},
                 row,
                 {"3- Use Item", 550},
                 row,
                 quit("4- Quit Game")});
}

// An attack turn: the player's blow, the spider's answer (even to a blow
// that has just killed it), then the poison.
Label scene540() {
    screen(12);
    say();
    say(kEquals76);
    if (smokeTurns == 0) let(smokeActive, "0");
    colour(5);
    if (is(knife, "1")) {
        say("You slash the spider with your knife doing 25 points of damage.");
        spiderHealth -= 25;
    } else {
        say("You punch the spider for 10 points of damage.");
        spiderHealth -= 10;
    }
    say();
    colour(4);
    if (smokeTurns > 0 && is(smokeActive, "1")) {
        say("The spider lets out a loud high pitched shrill as it randomly attacks empty");
        say("air.  It is unable to hit you due to the smoke clouding its vision");
        say();
        smokeTurns -= 1;
    }
    if (is(smokeActive, "0")) {
        say("The spider strikes you for 25 points of damage.");
        say();
        health -= 25;
    }
    if (is(spiderPoisoned, "1")) {
        colour(10);
        say("The spider takes an additional 10 points of damage from the poison");
        say();
        spiderHealth -= 10;
    }
    colour(12);
    say();
    say(kEquals76);
    pressEnter();
    return 538;
}

// Combining items costs no turn: the spider does not answer.
Label scene545() {
    screen(14);
    itemsHeading();
    itemLines(chapter1FirstItems, true);
    itemLines(kCombineList, true);
    stars(74);
    say();
    return menu("What is your choice", answer545, 545,
                {{"1- Mix Mushroom with Water",
                  tell(
                      [] {
                          // The bottle goes into the mixture; applying it gives it back empty.
                          let(water, "0");
                          let(yellowMushroom, "2");
                          let(glowingConcoction, "1");
                          score += 15;
                      },
                      R"(
You tear the mushroom into tiny pieces and mix them into your bottle of
water.  The water slowly thickens into a green paste-like substance.
)"),
                  [] { return is(water, "1") && is(yellowMushroom, "1"); }},
                 row,
                 {"2- Apply Glowing Concotion to Metal Rod",
                  tell(
                      [] {
                          let(poisonedRod, "1");
                          let(metalRod, "0");
                          let(glowingConcoction, "0");
                          let(water, "2");
                          score += 15;
                      },
                      "You apply the thick concoction to the Sharp Metal Rod."),
                  [] { return is(glowingConcoction, "1") && is(metalRod, "1"); }},
                 row,
                 {"5- Back to fight!", 538}});
}

// What using an item does: the item's number in the use list, when it
// applies, its effect, the screen that tells of it and where the fight goes
// on (the fight screen, or the use-item screen again for the mushroom that
// is kept).
struct Use {
    const char* number;
    bool (*applies)();
    void (*effect)();
    Lines text;
    // A throw the spider answers has a second text, for the smoke: outside
    // it the spider attacks for 25 health; in it the spider attacks blindly
    // and the smoke thins by a turn.
    Lines inSmoke = nullptr;
    Label next = 538;
};

bool smoke() {
    return is(smokeActive, "1");
}
bool rodOnly() {
    return is(metalRod, "1") && is(poisonedRod, "0");
}
bool poisonedRodOnly() {
    return is(metalRod, "0") && is(poisonedRod, "1");
}

const std::array<Use, 7> kUses{{
    {.number = "1",
     .applies = [] { return is(smokeBomb, "1") && is(lighter, "1"); },
     .effect =
         [] {
             let(smokeBomb, "0");
             smokeTurns = 2;
             score += 15;
             let(smokeActive, "1");
         },
     .text = R"(
You light the smoke bomb with your lighter and throw it at the spider.
It lands with a pop and thick smoke pours out of it.  The spider begins to
panic unable to see you.  Keep in mind this smoke cloud won't last forever...
)"},
    {.number = "1",
     .applies = [] { return is(smokeBomb, "1") && is(lighter, "0"); },
     .effect =
         [] {
             let(smokeBomb, "0");
             health -= 25;
         },
     .text = R"(
You throw the smoke bomb at the spider and it bounces off its head doing
no damage at all.  The spider attacks you for 25 points of damage.  You
had nothing to light the smoke bomb with.
)"},
    {.number = "2",
     .applies = [] { return is(gummieBears, "1"); },
     .effect = [] { let(gummieBears, "0"); },
     .text = R"(
You throw the gummie bears at the spider.  It ignores them completely
and attacks you for 25 points of damage.
)",
     .inSmoke = R"(
You throw the gummie bears at the spider.  It ignores them, still lost
in the cloud of smoke.
)"},
    {.number = "3",
     .applies = [] { return is(water, "1"); },
     .effect =
         [] {
             health = 100;
             let(water, "2");
         },
     .text = "You chug the water as fast as you can!  You feel much better now."},
    {.number = "4",
     .applies = rodOnly,
     .effect =
         [] {
             spiderHealth -= 50;
             let(metalRod, "0");
         },
     .text = R"(
You hurl the sharp metal rod at the spider and it pierces its body for
50 points of damage.  The spider shrieks in pain and attacks you for 25
points of damage.
)",
     .inSmoke = R"(
You hurl the sharp metal rod at the spider and it pierces its body for
50 points of damage.  The spider shrieks in pain and attacks in random
directions, unable to find you.
)"},
    {.number = "4",
     .applies = poisonedRodOnly,
     .effect =
         [] {
             let(poisonedRod, "0");
             let(spiderPoisoned, "1");
             spiderHealth -= 50;
         },
     .text = R"(
You hurl the poisoned rod at the spider for 50 points of damage.  The
poison on its tip enters the spider's blood stream, and the spider
attacks you for 25 points of damage.
)",
     .inSmoke = R"(
You hurl the poisoned rod at the spider for 50 points of damage.  The
poison on its tip enters the spider's blood stream.  Unable to see you,
the spider attacks in a random direction.
)"},
    {.number = "5",
     .applies = [] { return is(yellowMushroom, "1"); },
     .effect = [] {},
     .text = R"(
You consider throwing the glowing yellow mushrom at the spider, however you
decide there might be a better use for it.
)",
     .next = 550},
}};

// Using an item is a turn of its own: no blow and no poison; the spider's
// answer is the item's.
Label scene550() {
    screen(14);
    itemsHeading();
    itemLines(kUseList, true);
    if (smokeTurns <= 0) let(smokeActive, "0");
    say("6- Back");
    stars(74);
    say();
    ask("Which item would you like to use", answer550);

    for (const Use& use : kUses) {
        if (!is(answer550, use.number) || !use.applies()) continue;
        cls();
        use.effect();
        const bool answered = use.inSmoke != nullptr;
        if (answered && smoke()) {
            smokeTurns -= 1;
            lines(use.inSmoke);
        } else {
            if (answered) health -= 25;
            lines(use.text);
        }
        pressEnter();
        return use.next;
    }
    if (is(answer550, "6")) return 538;
    return 550;
}

// The player's defeat.
Label scene555() {
    screen(4);
    health = 0;
    header(555);
    status(49, Labels::Seven);
    lines(R"(
You are too badly wounded to go on fighting.  Your legs give way and you
fall to the ground.  The spider slowly wraps you up in a thick cocoon of
silk, and as it pulls the last strands tight around you, you lose
consciousness.
)");
    pressEnter();
    return 557;
}

// Continue restarts the fight with full health; the spider's poison stays.
Label scene557() {
    screen(14);
    return menu("Would you like to Continue or Quit", answer557, 557,
                {{"1- Continue       ",
                  [] {
                      health = 100;
                      return 535;
                  }},
                 quit("2- Quit")});
}

// The win: the spider is dead for good.
Label scene560() {
    screen(5);
    score += 30;
    let(spiderDead, "1");
    header(560);
    lines(R"(
With your final strike the spider falls to the ground.  It flails its
legs wildly, trying to get back up, and lets out one last piercing
shriek.  Then its legs curl up underneath it and the spider goes limp.
The fight is over.
)");
    pressEnter();
    return 565;
}

// The lair after the fight; the lair (530) comes here once the spider is dead.
Label scene565() {
    room(3, "565", 565);
    status(49, Labels::Seven);
    lines(R"(
You step over spiders and dead rodents as you head WEST into the large
room covered in webs.  At the rear of the room is the old elevator shaft,
and in front of it lie the remains of the spider you killed.  The way
back is to the EAST.

)");
    return lairMenu(answer565, 565, 570);
}

} // namespace

void registerSpiderFight() {
    addScenes({
        {530, scene530},
        {535, scene535},
        {538, scene538},
        {540, scene540},
        {545, scene545},
        {550, scene550},
        {555, scene555},
        {557, scene557},
        {560, scene560},
        {565, scene565},
    });
}

} // namespace game
