import java.sql.*;
import oracle.jdbc.pool.*;

/**
 *  Audit_logDAO
 */
public class Audit_logDAO implements <YourDAOInterface>
{
    private static String FIND_BEAN_SQL = 
        "select"
      + "  AT,"
      + "  TEXT "
      + "from"
      + "  APP.AUDIT_LOG "
      + "where"


    private static String INSERT_BEAN_SQL = 
        "insert into APP.AUDIT_LOG"
      + "  () "
      + "values"
      + "  ()";

    private static String UPDATE_BEAN_SQL = 
        "update"
      + "  APP.AUDIT_LOG "
      + "set"
      + "  AT = ?,"
      + "  TEXT = ? "
      + "where"


    private static String DELETE_BEAN_SQL = 
        "delete "
      + "  APP.AUDIT_LOG "
      + "where"


    private OracleConnectionPoolDataSource oracleDataSource;

    public Audit_logDAO()
    {
      // initialization
    }

    public void setOracleDataSource(OracleConnectionPoolDataSource oracleDataSource)
    {
        this.oracleDataSource = oracleDataSource;
    }

    public Audit_log findAudit_log() throws SQLException
    {
        Audit_log bean = null;

        PooledConnection pc = oracleDataSource.getPooledConnection();

        Connection con = null;
        PreparedStatement ps = null;
        ResultSet rs = null;

        try
        {
            con = pc.getConnection();
            ps = con.prepareStatement(FIND_BEAN_SQL);

            rs = ps.executeQuery();

            if (rs.next())
            {
                bean = new Audit_log();
                bean.setAt(rs.getDate("AT"));
                bean.setText(rs.getString("TEXT"));
            }
        }
        finally
        {
            try
            {
                if (rs != null)
                {
                    rs.close();
                }
            } catch(Exception e) {}

            try
            {
                if (ps != null)
                {
                    ps.close();
                }
            } catch(Exception e) {}
        }

        return bean;
    }

    public void insertAudit_log()
    {
        PooledConnection pc = oracleDataSource.getPooledConnection();

        Connection con = null;
        PreparedStatement ps = null;

        try
        {
            con = pc.getConnection();
            ps = con.prepareStatement(INSERT_BEAN_SQL);

            ps.execute();
        }
        finally
        {
            try
            {
                if (ps != null)
                {
                    ps.close();
                }
            } catch(Exception e) {}
        }
    }

    public void updateAudit_log(
      Date at,
      String text,
      )
    {
        PooledConnection pc = oracleDataSource.getPooledConnection();

        Connection con = null;
        PreparedStatement ps = null;

        try
        {
            con = pc.getConnection();
            ps = con.prepareStatement(UPDATE_BEAN_SQL);
            ps.setDate(1, at);
            ps.setString(2, text);

            ps.execute();
        }
        finally
        {
            try
            {
                if (ps != null)
                {
                    ps.close();
                }
            } catch(Exception e) {}
        }
    }

    public void deleteAudit_log()
    {
        PooledConnection pc = oracleDataSource.getPooledConnection();

        Connection con = null;
        PreparedStatement ps = null;

        try
        {
            con = pc.getConnection();
            ps = con.prepareStatement(DELETE_BEAN_SQL);

            ps.execute();
        }
        finally
        {
            try
            {
                if (ps != null)
                {
                    ps.close();
                }
            } catch(Exception e) {}
        }
    }
}
