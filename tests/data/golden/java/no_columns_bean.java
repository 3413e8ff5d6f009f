/**
 *  Nothing Bean
 */
public class Nothing
{

    public Nothing()
    {
    }
}
